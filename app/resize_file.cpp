// One picture of the resize job.
#include "app/resize_file.h"

#include <atomic>
#include <vector>

#include "app/app_state.h"
#include "app/resize_file_testing.h"
#include "image/exif_orientation.h"
#include "image/image.h"
#include "runtime/file_io.h"
#include "runtime/files.h"
#include "runtime/programs.h"
#include "runtime/strings.h"

namespace {

std::atomic<std::int64_t> jhead_limit_for_testing{0};  // milliseconds; 0: JHEAD_TIME_LIMIT

// A JPEG file that starts with its start-of-image marker and ends with its
// end-of-image marker: what jhead leaves behind when it has finished writing.
bool jpeg_file_complete(const std::string& name) {
  std::vector<std::uint8_t> bytes;
  if (!file_read_whole(name.c_str(), bytes) || bytes.size() < 4) return false;
  const std::size_t n = bytes.size();
  return bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[n - 2] == 0xFF && bytes[n - 1] == 0xD9;
}

// Waits for a started jhead until it ends, the time limit passes or the job
// is asked to stop; in the last two cases jhead is ended. True when it ended
// by itself.
bool jhead_finished(std::intptr_t jhead) {
  const std::int64_t limit = jhead_limit_for_testing;
  const auto give_up = std::chrono::steady_clock::now() +
                       (limit ? std::chrono::milliseconds(limit) : JHEAD_TIME_LIMIT);
  constexpr std::int32_t kSlice = 50;  // how soon a stop request is seen
  while (!program_wait(jhead, kSlice)) {
    if (app_state().job_stop_requested != 0 || std::chrono::steady_clock::now() > give_up) {
      program_end(jhead);
      program_wait(jhead, -1);  // its handle on the file is gone before the file is deleted
      return false;
    }
  }
  return true;
}

// jhead is given each file under a name it can open; a jhead.exe that reads
// its command line in another code page than this program (the published
// build), or a path of 260 characters or more, may need the short name (for
// the file jhead writes, which it deletes and writes anew, only the folder's),
// and where there is none the EXIF block cannot be carried over: jhead must
// never work on a look-alike file. Empty when the block was carried over,
// else why not.
std::string carry_exif_over(const std::string& source, const std::string& destination) {
  const std::string source_name = program_openable_path(JHEAD_PROGRAM, source);
  const std::string destination_name = program_writable_path(JHEAD_PROGRAM, destination);
  if (source_name.empty() || destination_name.empty())
    return ansi_from_utf8("jhead.exe kann diesen Dateinamen nicht öffnen");
  const auto jhead = static_cast<std::intptr_t>(
      program_run(JHEAD_PROGRAM, jhead_parameters(source_name, destination_name),
                  directory_current(), RUN_OPEN | RUN_HIDE));
  if (!jhead) return "jhead.exe: " + file_error_text();
  const bool finished = jhead_finished(jhead);
  program_free(jhead);
  if (!finished)
    return ansi_from_utf8("jhead.exe hat nicht innerhalb von " +
                          std::to_string(JHEAD_TIME_LIMIT.count()) + " Sekunden geantwortet");
  if (!jpeg_file_complete(destination))
    return ansi_from_utf8("jhead.exe hat die EXIF-Daten nicht übertragen");
  // The copy was written upright: the carried block must not turn it again.
  if (!exif_orientation_reset_file(destination.c_str())) return file_error_text();
  return {};
}

bool save_picture(const std::string& name, PictureKind kind, int jpeg_quality) {
  if (kind == PictureKind::Png)
    return image_save(IMAGE_WORK, name.c_str(), CODEC_PNG, DEFAULT_SAVE_QUALITY, KEEP_DEPTH) != 0;
  return image_save(IMAGE_WORK, name.c_str(), CODEC_JPEG, jpeg_quality, KEEP_DEPTH) != 0;
}

PictureResult failed(PictureOutcome outcome, std::string reason) {
  return {outcome, std::move(reason)};
}

}  // namespace

void jhead_time_limit_for_testing(std::chrono::milliseconds limit) {
  jhead_limit_for_testing = limit.count();
}

bool picture_load(const std::string& path) {
  return image_load(IMAGE_WORK, path.c_str()) != 0;
}

PictureSize picture_size() {
  const bool turned = orientation_swaps_sides(image_orientation(IMAGE_WORK));
  const PictureSize stored{image_width(IMAGE_WORK), image_height(IMAGE_WORK)};
  return turned ? PictureSize{stored.height, stored.width} : stored;
}

bool picture_scale(PictureSize size) {
  if (size.width > IMAGE_MAX_DIMENSION || size.height > IMAGE_MAX_DIMENSION) return false;
  // Scaled as stored, then turned: turning the smaller picture costs less.
  const bool turned = orientation_swaps_sides(image_orientation(IMAGE_WORK));
  const PictureSize stored = turned ? PictureSize{size.height, size.width} : size;
  return image_resize(IMAGE_WORK, static_cast<int>(stored.width), static_cast<int>(stored.height),
                      RESIZE_SMOOTH) != nullptr &&
         image_turn_upright(IMAGE_WORK);
}

bool picture_write(const std::string& final_name, PictureKind kind, int jpeg_quality,
                   const std::string* exif_source, std::string* reason) {
  const std::string temporary = temporary_name(final_name);
  std::string why;
  if (!save_picture(temporary, kind, jpeg_quality)) {
    why = file_error_text();
  } else if (exif_source) {
    // jhead's rewrite of the file is flushed by the replace.
    why = carry_exif_over(*exif_source, temporary);
    if (why.empty()) {
      if (file_replace(temporary, final_name)) return true;
      why = file_error_text();
    }
  } else {
    // The save flushed what it wrote.
    if (file_move_over(temporary, final_name)) return true;
    why = file_error_text();
  }
  file_delete(temporary);
  if (reason) *reason = std::move(why);
  return false;
}

PictureResult resize_picture(const std::string& path, PictureKind kind,
                             const PictureChoices& choices, const std::string& output_directory) {
  if (!picture_load(path)) {
    const std::string unreadable = file_open_error(path);
    return failed(PictureOutcome::LoadFailed,
                  unreadable.empty() ? ansi_from_utf8("keine lesbare JPEG- oder PNG-Datei")
                                     : unreadable);
  }
  if (!box_is_usable(choices.box)) return failed(PictureOutcome::BoxUnusable, {});
  const std::string copy_name = output_directory + copy_file_name(path, choices.web_names);
  const PictureSize picture = picture_size();
  if (!picture_exceeds_box(picture, choices.box)) {
    if (file_copy(path, copy_name)) return {PictureOutcome::Copied, {}};
    return failed(PictureOutcome::WriteFailed, file_error_text());
  }

  const PictureSize size = scaled_size(picture, choices.box, choices.mode);
  if (size.width > IMAGE_MAX_DIMENSION || size.height > IMAGE_MAX_DIMENSION)
    return failed(PictureOutcome::WriteFailed, side_too_large_reason(size));
  if (!picture_scale(size))
    return failed(PictureOutcome::WriteFailed,
                  ansi_from_utf8("nicht genug Arbeitsspeicher, um es zu verkleinern"));
  const std::string& final_name = choices.replace_original ? path : copy_name;
  const bool exif = kind == PictureKind::Jpeg && choices.keep_exif;
  std::string reason;
  if (picture_write(final_name, kind, choices.jpeg_quality, exif ? &path : nullptr, &reason))
    return {PictureOutcome::Scaled, {}};
  return failed(PictureOutcome::WriteFailed, reason);
}
