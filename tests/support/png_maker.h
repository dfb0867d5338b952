// PNG files made directly with libpng for tests, in every colour type the
// decoder must take, so that the tests do not lean on the encoder they check.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <utility>
#include <cstdint>
#include <vector>

struct PngRecipe {
  int width = 2;
  int height = 2;
  int bit_depth = 8;
  int colour_type = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> trns_alpha;  // palette transparency
  int trns_grey = -1;                // grey transparency value
  png_color_16 trns_rgb{};
  bool has_trns_rgb = false;
  std::vector<std::vector<png_byte>> rows;  // top row first, packed as PNG stores them
};

inline void png_maker_write(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

inline void png_maker_flush(png_structp) {}

inline bool png_maker_build(const PngRecipe& recipe, std::vector<std::uint8_t>* out,
                            png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, png_maker_write, png_maker_flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(recipe.width),
               static_cast<png_uint_32>(recipe.height), recipe.bit_depth, recipe.colour_type,
               recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!recipe.palette.empty())
    png_set_PLTE(png, info, recipe.palette.data(), static_cast<int>(recipe.palette.size()));
  if (!recipe.trns_alpha.empty())
    png_set_tRNS(png, info, recipe.trns_alpha.data(), static_cast<int>(recipe.trns_alpha.size()),
                 nullptr);
  if (recipe.trns_grey >= 0) {
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(recipe.trns_grey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  if (recipe.has_trns_rgb) {
    png_color_16 rgb = recipe.trns_rgb;
    png_set_tRNS(png, info, nullptr, 0, &rgb);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& row : recipe.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  return true;
}

inline std::vector<std::uint8_t> make_png(const PngRecipe& recipe) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (!png_maker_build(recipe, &out, png, info)) out.clear();
  png_destroy_write_struct(&png, &info);
  return out;
}

struct PngRead {
  int width = 0, height = 0, bit_depth = 0, colour_type = -1, palette_entries = 0;
  std::vector<std::vector<png_byte>> rows;  // top first, as stored
};

inline void png_reader_read(png_structp png, png_bytep data, png_size_t length) {
  auto* cursor =
      static_cast<std::pair<const std::uint8_t*, const std::uint8_t*>*>(png_get_io_ptr(png));
  if (length > static_cast<png_size_t>(cursor->second - cursor->first)) png_error(png, "short");
  std::memcpy(data, cursor->first, length);
  cursor->first += length;
}

inline bool png_reader_run(png_structp png, png_infop info, PngRead* result,
                           std::pair<const std::uint8_t*, const std::uint8_t*>* cursor) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, cursor, png_reader_read);
  png_read_info(png, info);
  png_uint_32 w, h;
  png_get_IHDR(png, info, &w, &h, &result->bit_depth, &result->colour_type, nullptr, nullptr,
               nullptr);
  result->width = static_cast<int>(w);
  result->height = static_cast<int>(h);
  png_colorp palette;
  if (png_get_PLTE(png, info, &palette, &result->palette_entries) == 0) result->palette_entries = 0;
  const std::size_t row_bytes = png_get_rowbytes(png, info);
  result->rows.assign(h, std::vector<png_byte>(row_bytes));
  std::vector<png_bytep> rows;
  for (auto& row : result->rows) rows.push_back(row.data());
  png_read_image(png, rows.data());
  return true;
}

// Reads a PNG file's header and raw rows (no transformations); colour_type -1 on failure.
inline PngRead read_png(const std::vector<std::uint8_t>& data) {
  PngRead result;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::pair<const std::uint8_t*, const std::uint8_t*> cursor{data.data(),
                                                             data.data() + data.size()};
  if (!png_reader_run(png, info, &result, &cursor)) result = PngRead{};
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}
