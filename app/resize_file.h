// The resize job's path for one picture: load it, size it, scale it and
// write it, or copy its file when it already fits the box.
//
// Nothing the job writes can cost the user a picture. A scaled picture is
// written under its final name + ".tmp", receives its EXIF block there, and
// only when all of that has worked does it take the final name, in one step
// that replaces the old file (runtime file_replace). So a failing write (a
// full disk, a read-only or locked file, a folder that cannot be created)
// leaves the old file exactly as it was and no temporary file behind, and a
// process killed at any moment leaves each source either as it was or
// replaced by the whole new picture.
//
// jhead gets at most JHEAD_TIME_LIMIT for a picture, and is ended at once
// when the job is asked to stop (AppState::job_stop_requested); its
// temporary file is deleted either way and the picture counts as not
// written.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "app/resize_rules.h"
#include "runtime/registry.h"

// The settings and check boxes a job works with.
struct PictureChoices {
  bool replace_original;  // write over the source instead of a copy
  bool web_names;         // give the copy a web name
  bool keep_exif;         // carry a JPEG's EXIF block over with jhead
  PictureSize box;
  std::string mode;
  int jpeg_quality;  // 0..10
};

enum class PictureOutcome {
  Skipped,      // not a JPEG or PNG by its name
  Scaled,       // scaled and written
  Copied,       // fitted the box: copied unchanged into the output directory
  LoadFailed,   // not a picture the decoders accept, or not readable
  BoxUnusable,  // the box has a side of 0 or below: nothing was written
  WriteFailed,  // could not be scaled, written, given its EXIF block or its name
};

// What became of a picture, and why it failed where that is known: the
// platform's own words for a file that could not be read or written, or
// the job's (a side too large, jhead that did not answer). In the ANSI
// code page; empty when no reason is known.
struct PictureResult {
  PictureOutcome outcome;
  std::string reason;
};

// A photo takes jhead well under a second; one that takes this long hangs.
constexpr std::chrono::seconds JHEAD_TIME_LIMIT{30};

// Works on the image object `image`; each thread that runs pictures at once
// has one of its own (image objects may be used from several threads, each
// on its own numbers).
PictureResult resize_picture(object_number image, const std::string& path, PictureKind kind,
                             const PictureChoices& choices, const std::string& output_directory);

// The steps one by one, as resize_picture takes them (the speed benchmark
// times them separately; the preview shows what they make). A JPEG whose
// EXIF orientation turns it is sized as it is shown and scaled into an
// upright picture; its copy is upright and carries orientation 1.
struct PictureLoad {
  bool loaded;
  PictureSize shown;  // the picture's size as shown (its orientation applied), from its file
};
// The size the picture will be scaled to, for its size as shown: {1, 1}
// when its pixels are not needed (it is copied as it is), its own size when
// they are needed as they are.
using ScaledSizeRule = std::function<PictureSize(PictureSize shown)>;
// Loads the picture; with a rule, a JPEG is decoded only as large as the
// size the rule gives needs (the smallest DCT scale that covers it), so the
// image may hold fewer pixels than `shown`.
PictureLoad picture_load(object_number image, const std::string& path,
                         const ScaledSizeRule& scaled_to = {});
// Scales to `size` as shown and turns the pixels upright. False for a size
// no picture can have (the picture is then left as it is), or when memory
// runs out.
bool picture_scale(object_number image, PictureSize size);
// Encodes the picture in the kind's format under `final_name` + ".tmp",
// runs jhead on that file when `exif_source` is given, and replaces
// `final_name` with it; on any failure the temporary file is deleted and
// `reason` (when given) says why, where that is known.
bool picture_write(object_number image, const std::string& final_name, PictureKind kind,
                   int jpeg_quality, const std::string* exif_source,
                   std::string* reason = nullptr);
