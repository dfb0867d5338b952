// Pictures for the application's tests, written with the program's own
// encoders from generated pixels, and a JPEG with an EXIF block.
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
#include "support/photo_pictures.h"

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

// A JPEG whose EXIF block follows its start-of-image marker.
inline bool write_test_jpeg_with_exif(const std::string& name, int width, int height) {
  if (!write_test_jpeg(name, width, height)) return false;
  std::vector<std::uint8_t> bytes = read_bytes(name);
  const auto exif = exif_segment();
  bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
  write_bytes(name, bytes);
  return true;
}

inline bool contains(const std::vector<std::uint8_t>& haystack,
                     const std::vector<std::uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}
