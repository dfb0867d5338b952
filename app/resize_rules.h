// The resize job's portable rules: which files are pictures, when and to what
// size a picture is scaled, and the names the job writes under.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct PictureSize {
  std::int64_t width;
  std::int64_t height;
  bool operator==(const PictureSize&) const = default;
};

// Pictures are told by their extension after lower-casing: "jpg" and "jpeg"
// are JPEG, "png" is PNG; every other file is skipped.
enum class PictureKind { NotAPicture, Jpeg, Png };
PictureKind picture_kind_of(std::string_view path);

// A picture is scaled only when it exceeds the box in at least one direction;
// otherwise its file is copied unchanged.
bool picture_exceeds_box(PictureSize picture, PictureSize box);

// A box can only be sized to when both sides are 1 or more. A box of 0 or
// below (an emptied field, an odd preference file) leaves every picture as it
// is: the job writes nothing for it and reports it.
bool box_is_usable(PictureSize box);

// The sizing rule for a picture that exceeds a usable box, all divisions
// truncating. "max" fits the picture inside the box, "min" makes it cover
// the box, any other mode text (compared exactly) distorts it to the box.
// A side that would come out below 1 (a very long, thin picture) is 1.
PictureSize scaled_size(PictureSize picture, PictureSize box, std::string_view mode);

// Why a picture whose new size has a side beyond what a picture may have
// (a long, thin picture under "min") is not written: "zu groß" with the size.
std::string side_too_large_reason(PictureSize size);

// Web names: every character of the file name other than A-Z, a-z, 0-9 and
// the period becomes an underscore ("Urlaub 2013 (1).jpg" gives
// "Urlaub_2013__1_.jpg"). The expression is compiled under REGEX_WEB_NAME
// anew at the start of every job; false when it cannot be.
constexpr const char* WEB_NAME_PATTERN = "[^a-zA-Z0-9\\\\:.]";
bool web_name_prepare();
// The file name a copy of `path` gets in the output directory.
std::string copy_file_name(std::string_view path, bool web_names);

// A new picture is written under its final name with ".tmp" appended first
// ("a.jpg" becomes "a.jpg.tmp") and takes the final name only when complete.
std::string temporary_name(std::string_view final_name);

// The outside EXIF tool and its parameters: -te, the file whose EXIF block
// is taken, the file that receives it, both in double quotes.
constexpr std::string_view JHEAD_PROGRAM = "jhead.exe";
std::string jhead_parameters(std::string_view source, std::string_view destination);

// How many pictures a job works on at once: one a processor, fewer when the
// memory available would not hold that many of the largest pictures (each
// worker plans for WORKER_MEMORY_PLAN: a 24-megapixel picture with alpha,
// decoded and scaled), never more than there are files, at least one.
constexpr std::uint64_t WORKER_MEMORY_PLAN = 24'000'000ull * 4 * 2;
int job_worker_count(int processors, std::uint64_t memory_available, std::int64_t files);
