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

// jhead rewrites the file it is given: it renames it to name + ".t",
// writes the new file under the name it was given and deletes the ".t".
// So it must be given the file's real name, never a short name (which would
// become a new file's name), though its folder may go by its short name (a
// path of 260 characters or more): a file whose name jhead's code page
// cannot hold (a published jhead.exe reads the system's code page, not
// UTF-8) is handed over under a plain name of the job's own in the same
// folder, and takes its name back afterwards.
std::atomic<unsigned> plain_names{0};

std::string plain_name_beside(const std::string& file) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::string plain =
        path_part(file) + "~skalaro-" + std::to_string(plain_names++) + ".jpg";
    if (file_rename(file, plain)) return plain;
  }
  return {};
}

// Runs jhead over `rewritten`, a name it can take as it is; empty when the
// block was carried over, else why not. A jhead that did not finish is
// ended, and its ".t" goes with the picture.
std::string run_jhead(const std::string& source_name, const std::string& rewritten,
                      const std::string& rewritten_name) {
  const auto jhead = static_cast<std::intptr_t>(
      program_run(JHEAD_PROGRAM, jhead_parameters(source_name, rewritten_name),
                  directory_current(), RUN_OPEN | RUN_HIDE));
  if (!jhead) return "jhead.exe: " + file_error_text();
  const bool finished = jhead_finished(jhead);
  program_free(jhead);
  std::string why;
  if (!finished)
    why = ansi_from_utf8("jhead.exe hat nicht innerhalb von " +
                         std::to_string(JHEAD_TIME_LIMIT.count()) + " Sekunden geantwortet");
  else if (!jpeg_file_complete(rewritten))
    why = ansi_from_utf8("jhead.exe hat die EXIF-Daten nicht übertragen");
  if (!why.empty()) file_delete(rewritten + ".t");
  return why;
}

// jhead is given each file under a name it can open, and must never work
// on a look-alike file. Empty when the block was carried over, else why not.
std::string carry_exif_over(const std::string& source, const std::string& destination) {
  const std::string cannot_open = ansi_from_utf8("jhead.exe kann diesen Dateinamen nicht öffnen");
  const unsigned code_page = program_code_page(JHEAD_PROGRAM);
  const std::string source_name = path_openable_in(code_page, source);  // only read
  if (source_name.empty()) return cannot_open;
  std::string why;
  if (const std::string name = path_openable_in(code_page, destination, true); !name.empty()) {
    why = run_jhead(source_name, destination, name);
  } else {
    const std::string plain = plain_name_beside(destination);
    const std::string plain_name =
        plain.empty() ? "" : path_openable_in(code_page, plain, true);
    why = plain_name.empty() ? cannot_open : run_jhead(source_name, plain, plain_name);
    if (!plain.empty() && !file_rename(plain, destination) && why.empty()) why = file_error_text();
    if (!plain.empty()) file_delete(plain);  // left only when it could not take its name back
  }
  if (!why.empty()) return why;
  // The copy was written upright: the carried block must not turn it again.
  file_error_clear();
  if (!exif_orientation_reset_file(destination.c_str()))
    return file_error_text_or(ansi_from_utf8("die Ausrichtung kann nicht gesetzt werden"));
  return {};
}

bool save_picture(object_number image, const std::string& name, PictureKind kind,
                  int jpeg_quality) {
  if (kind == PictureKind::Png)
    return image_save(image, name.c_str(), CODEC_PNG, DEFAULT_SAVE_QUALITY, KEEP_DEPTH) != 0;
  return image_save(image, name.c_str(), CODEC_JPEG, jpeg_quality, KEEP_DEPTH) != 0;
}

PictureSize as_shown(PictureSize stored, int orientation) {
  return orientation_swaps_sides(orientation) ? PictureSize{stored.height, stored.width} : stored;
}

// Asked by the decoder once it knows the picture's size: keeps that size
// and says how much of it the scaling needs.
struct SizeQuestion {
  const ScaledSizeRule* scaled_to;
  PictureSize shown;
  bool asked;
};

DecodeSize size_wanted(void* context, int width, int height, int orientation) {
  auto* question = static_cast<SizeQuestion*>(context);
  question->shown = as_shown({width, height}, orientation);
  question->asked = true;
  const PictureSize wanted = as_shown((*question->scaled_to)(question->shown), orientation);
  return {static_cast<int>(wanted.width), static_cast<int>(wanted.height)};
}

PictureResult failed(PictureOutcome outcome, std::string reason) {
  return {outcome, std::move(reason)};
}

}  // namespace

void jhead_time_limit_for_testing(std::chrono::milliseconds limit) {
  jhead_limit_for_testing = limit.count();
}

PictureLoad picture_load(object_number image, const std::string& path,
                         const ScaledSizeRule& scaled_to) {
  SizeQuestion question{&scaled_to, {0, 0}, false};
  const DecodeRequest request{scaled_to ? size_wanted : nullptr, &question};
  if (!image_load(image, path.c_str(), request)) return {false, {0, 0}};
  if (!question.asked)
    question.shown = as_shown({image_width(image), image_height(image)}, image_orientation(image));
  return {true, question.shown};
}

bool picture_scale(object_number image, PictureSize size) {
  if (!size_fits_model(size.width, size.height)) return false;
  // Scaled as stored, then turned: turning the smaller picture costs less.
  const PictureSize stored = as_shown(size, image_orientation(image));
  return image_resize(image, static_cast<int>(stored.width), static_cast<int>(stored.height),
                      RESIZE_SMOOTH) != nullptr &&
         image_turn_upright(image);
}

bool picture_write(object_number image, const std::string& final_name, PictureKind kind,
                   int jpeg_quality, const std::string* exif_source, std::string* reason) {
  const std::string temporary = temporary_name(final_name);
  std::string why;
  file_error_clear();
  if (!save_picture(image, temporary, kind, jpeg_quality)) {
    why = file_error_text_or(ansi_from_utf8("das Bild kann nicht gespeichert werden"));
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

PictureResult resize_picture(object_number image, const std::string& path, PictureKind kind,
                             const PictureChoices& choices, const std::string& output_directory) {
  // Sized from the file's own size before its pixels are decoded, so that a
  // JPEG is decoded only as large as its copy needs.
  const ScaledSizeRule scaled_to = [&choices](PictureSize shown) -> PictureSize {
    if (!box_is_usable(choices.box) || !picture_exceeds_box(shown, choices.box)) return {1, 1};
    const PictureSize size = scaled_size(shown, choices.box, choices.mode);
    return size_fits_model(size.width, size.height) ? size : PictureSize{1, 1};
  };
  const PictureLoad picture = picture_load(image, path, scaled_to);
  if (!picture.loaded) {
    const std::string unreadable = file_open_error(path);
    return failed(PictureOutcome::LoadFailed,
                  unreadable.empty() ? ansi_from_utf8("keine lesbare JPEG- oder PNG-Datei")
                                     : unreadable);
  }
  if (!box_is_usable(choices.box)) return failed(PictureOutcome::BoxUnusable, {});
  const std::string copy_name = output_directory + copy_file_name(path, choices.web_names);
  if (!picture_exceeds_box(picture.shown, choices.box)) {
    if (file_copy(path, copy_name)) return {PictureOutcome::Copied, {}};
    return failed(PictureOutcome::WriteFailed, file_error_text());
  }

  const PictureSize size = scaled_size(picture.shown, choices.box, choices.mode);
  if (!size_fits_model(size.width, size.height))
    return failed(PictureOutcome::WriteFailed, side_too_large_reason(size));
  if (!picture_scale(image, size))
    return failed(PictureOutcome::WriteFailed,
                  ansi_from_utf8("nicht genug Arbeitsspeicher, um es zu verkleinern"));
  const std::string& final_name = choices.replace_original ? path : copy_name;
  const bool exif = kind == PictureKind::Jpeg && choices.keep_exif;
  std::string reason;
  if (picture_write(image, final_name, kind, choices.jpeg_quality, exif ? &path : nullptr,
                    &reason))
    return {PictureOutcome::Scaled, {}};
  return failed(PictureOutcome::WriteFailed, reason);
}
