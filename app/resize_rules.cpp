// The resize job's portable rules.
#include "app/resize_rules.h"

#include <algorithm>

#include "app/app_state.h"
#include "image/pixel_layout.h"
#include "regex/regex.h"
#include "runtime/strings.h"

namespace {
// Sides are kept in a range where no product below can overflow; a box side
// beyond it gives a size that no picture can have either way.
constexpr std::int64_t kSideLimit = std::int64_t{1} << 31;

std::int64_t bounded_side(std::int64_t side) {
  return std::clamp<std::int64_t>(side, 1, kSideLimit);
}
}  // namespace

PictureKind picture_kind_of(std::string_view path) {
  const std::string extension = string_lower(extension_part(path));
  if (extension == "jpg" || extension == "jpeg") return PictureKind::Jpeg;
  if (extension == "png") return PictureKind::Png;
  return PictureKind::NotAPicture;
}

bool picture_exceeds_box(PictureSize picture, PictureSize box) {
  return picture.width > box.width || picture.height > box.height;
}

bool box_is_usable(PictureSize box) {
  return box.width >= 1 && box.height >= 1;
}

PictureSize scaled_size(PictureSize picture, PictureSize box, std::string_view mode) {
  const std::int64_t w = bounded_side(picture.width), h = bounded_side(picture.height);
  const std::int64_t tw = bounded_side(box.width), th = bounded_side(box.height);

  const std::int64_t picture_aspect = (w * 1000) / h;
  const std::int64_t box_aspect = (tw * 1000) / th;
  PictureSize result{tw, th};
  if (mode == MODE_MAX) {
    result =
        picture_aspect < box_aspect ? PictureSize{(w * th) / h, th} : PictureSize{tw, (h * tw) / w};
  } else if (mode == MODE_MIN) {
    result =
        picture_aspect < box_aspect ? PictureSize{tw, (h * tw) / w} : PictureSize{(w * th) / h, th};
  }
  return {std::max<std::int64_t>(result.width, 1), std::max<std::int64_t>(result.height, 1)};
}

std::string side_too_large_reason(PictureSize size) {
  return ansi_from_utf8("zu groß: " + int_to_string(size.width) + " × " +
                        int_to_string(size.height) + " Pixel (höchstens " +
                        int_to_string(IMAGE_MAX_DIMENSION) + " je Seite)");
}

bool web_name_prepare() {
  return regex_create(REGEX_WEB_NAME, WEB_NAME_PATTERN) != 0;
}

std::string copy_file_name(std::string_view path, bool web_names) {
  // Only the file name is replaced in: a path written with "/" keeps its
  // directories out of the name.
  const std::string name = file_part(path);
  return web_names ? regex_replace(REGEX_WEB_NAME, name, "_") : name;
}

std::string temporary_name(std::string_view final_name) {
  return std::string(final_name) + ".tmp";
}

std::string jhead_parameters(std::string_view source, std::string_view destination) {
  return "-te \"" + std::string(source) + "\" \"" + std::string(destination) + "\"";
}

int job_worker_count(int processors, std::uint64_t memory_available, std::int64_t files) {
  const std::uint64_t fitting = memory_available / WORKER_MEMORY_PLAN;
  const std::int64_t workers =
      std::min<std::int64_t>({processors, static_cast<std::int64_t>(std::min<std::uint64_t>(
                                              fitting, INT32_MAX)),
                              files});
  return static_cast<int>(std::max<std::int64_t>(workers, 1));
}
