// One picture of the resize job.
#include "app/resize_file.h"

#include <vector>

#include "app/app_state.h"
#include "image/exif_orientation.h"
#include "image/image.h"
#include "runtime/file_io.h"
#include "runtime/files.h"
#include "runtime/programs.h"

namespace {

// A JPEG file that starts with its start-of-image marker and ends with its
// end-of-image marker: what jhead leaves behind when it has finished writing.
bool jpeg_file_complete(const std::string& name) {
  std::vector<std::uint8_t> bytes;
  if (!file_read_whole(name.c_str(), bytes) || bytes.size() < 4) return false;
  const std::size_t n = bytes.size();
  return bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[n - 2] == 0xFF && bytes[n - 1] == 0xD9;
}

bool exif_carried_over(const std::string& source, const std::string& destination) {
  const std::uintptr_t ran = program_run(JHEAD_PROGRAM, jhead_parameters(source, destination),
                                         directory_current(), RUN_WAIT | RUN_HIDE);
  // The copy was written upright: the carried block must not turn it again.
  return ran != 0 && jpeg_file_complete(destination) &&
         exif_orientation_reset_file(destination.c_str());
}

bool save_picture(const std::string& name, PictureKind kind, int jpeg_quality) {
  if (kind == PictureKind::Png)
    return image_save(IMAGE_WORK, name.c_str(), CODEC_PNG, DEFAULT_SAVE_QUALITY, KEEP_DEPTH) != 0;
  return image_save(IMAGE_WORK, name.c_str(), CODEC_JPEG, jpeg_quality, KEEP_DEPTH) != 0;
}

}  // namespace

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
                   const std::string* exif_source) {
  const std::string temporary = temporary_name(final_name);
  // The save flushed what it wrote; jhead's rewrite of it is flushed by the
  // replace.
  const bool done = save_picture(temporary, kind, jpeg_quality) &&
                    (exif_source ? exif_carried_over(*exif_source, temporary) &&
                                       file_replace(temporary, final_name)
                                 : file_move_over(temporary, final_name) != 0);
  if (!done) file_delete(temporary);
  return done;
}

PictureOutcome resize_picture(const std::string& path, PictureKind kind,
                              const PictureChoices& choices, const std::string& output_directory) {
  if (!picture_load(path)) return PictureOutcome::LoadFailed;
  if (!box_is_usable(choices.box)) return PictureOutcome::BoxUnusable;
  const std::string copy_name = output_directory + copy_file_name(path, choices.web_names);
  const PictureSize picture = picture_size();
  if (!picture_exceeds_box(picture, choices.box))
    return file_copy(path, copy_name) ? PictureOutcome::Copied : PictureOutcome::WriteFailed;

  if (!picture_scale(scaled_size(picture, choices.box, choices.mode)))
    return PictureOutcome::WriteFailed;
  const std::string& final_name = choices.replace_original ? path : copy_name;
  const bool exif = kind == PictureKind::Jpeg && choices.keep_exif;
  return picture_write(final_name, kind, choices.jpeg_quality, exif ? &path : nullptr)
             ? PictureOutcome::Scaled
             : PictureOutcome::WriteFailed;
}
