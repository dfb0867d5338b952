// Pictures for the application's tests, written with the program's own
// encoders from generated pixels, and a JPEG's EXIF block.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"

inline std::vector<std::uint8_t> read_bytes(const std::string& name) {
  std::vector<std::uint8_t> bytes;
  file_read_whole(name.c_str(), bytes);
  return bytes;
}

inline void write_bytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// Gradients and a grid, bottom row first; 32-bit pictures fade out to the right.
inline std::vector<std::uint8_t> test_pixels(int width, int height, int depth) {
  const std::int64_t pitch = image_row_pitch(width, depth);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pitch * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &pixels[static_cast<std::size_t>(y * pitch + x * (depth / 8))];
      p[0] = static_cast<std::uint8_t>(x * 255 / width);
      p[1] = static_cast<std::uint8_t>(y * 255 / height);
      p[2] = static_cast<std::uint8_t>(((x / 16 + y / 16) % 2) * 160 + 40);
      if (depth == 32) p[3] = static_cast<std::uint8_t>(255 - x * 200 / width);
    }
  return pixels;
}

inline bool write_test_jpeg(const std::string& name, int width, int height) {
  const auto pixels = test_pixels(width, height, 24);
  return jpeg_codec_encode(name.c_str(), pixels.data(), width, height, image_row_pitch(width, 24),
                           ROWS_BOTTOM_UP, 8, 24) != 0;
}

inline bool write_test_png(const std::string& name, int width, int height, bool alpha) {
  const int depth = alpha ? 32 : 24;
  const auto pixels = test_pixels(width, height, depth);
  const std::int64_t pitch = image_row_pitch(width, depth);
  return alpha ? png_codec_encode_alpha(name.c_str(), pixels.data(), width, height, pitch,
                                        ROWS_BOTTOM_UP, 7, 32) != 0
               : png_codec_encode(name.c_str(), pixels.data(), width, height, pitch, ROWS_BOTTOM_UP,
                                  7, 24) != 0;
}

// An APP1 segment with a small EXIF block: a little-endian TIFF header and
// one directory holding the camera maker "Skalaro Test" and, when given,
// the orientation.
inline std::vector<std::uint8_t> exif_segment(int orientation = 0) {
  const std::uint8_t entries = orientation ? 2 : 1, maker_at = 14 + 12 * entries;
  std::vector<std::uint8_t> tiff = {
      'I',  'I',  42, 0, 8,  0, 0, 0, entries,  0,         // header, directory
      0x0F, 0x01, 2,  0, 13, 0, 0, 0, maker_at, 0, 0, 0};  // Make
  if (orientation)
    tiff.insert(tiff.end(), {0x12, 0x01, 3, 0, 1, 0, 0, 0, std::uint8_t(orientation), 0, 0, 0});
  tiff.insert(tiff.end(), {0, 0, 0, 0});  // no next directory
  const std::string maker = "Skalaro Test";
  tiff.insert(tiff.end(), maker.c_str(), maker.c_str() + maker.size() + 1);
  const std::size_t length = 8 + tiff.size();  // the length field, "Exif" and two zeros
  tiff.insert(tiff.begin(), {0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x',
                             'i', 'f', 0, 0});
  return tiff;  // now the whole segment
}

// A JPEG whose EXIF block follows its start-of-image marker; one with an
// orientation of 5 to 8 is stored height x width to show as width x height.
inline bool write_test_jpeg_with_exif(const std::string& name, int width, int height,
                                      int orientation = 0) {
  const bool turned = orientation >= 5;
  if (!write_test_jpeg(name, turned ? height : width, turned ? width : height)) return false;
  std::vector<std::uint8_t> bytes = read_bytes(name);
  const auto exif = exif_segment(orientation);
  bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
  write_bytes(name, bytes);
  return true;
}

inline bool contains(const std::vector<std::uint8_t>& haystack,
                     const std::vector<std::uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}
