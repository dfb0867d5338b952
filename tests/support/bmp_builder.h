// Hand-made BMP and icon files for tests, written field by field so that the
// tests do not lean on the writer they check.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  put16(b, at, v);
  put16(b, at + 2, v >> 16);
}
inline std::uint32_t get32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline std::uint16_t get16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// A BMP with a 40-byte information header, the given palette (4 bytes an
// entry) and pixel rows exactly as given (already padded).
inline Bytes make_bmp(int width, int height, int bit_count, const Bytes& rows,
                      const Bytes& palette = {}, std::uint32_t compression = 0) {
  Bytes b(54 + palette.size(), 0);
  b[0] = 'B';
  b[1] = 'M';
  std::uint32_t offset = static_cast<std::uint32_t>(54 + palette.size());
  put32(b, 2, static_cast<std::uint32_t>(offset + rows.size()));
  put32(b, 10, offset);
  put32(b, 14, 40);
  put32(b, 18, static_cast<std::uint32_t>(width));
  put32(b, 22, static_cast<std::uint32_t>(height));
  put16(b, 26, 1);
  put16(b, 28, static_cast<std::uint32_t>(bit_count));
  put32(b, 30, compression);
  put32(b, 34, static_cast<std::uint32_t>(rows.size()));
  put32(b, 46, static_cast<std::uint32_t>(palette.size() / 4));
  for (std::size_t i = 0; i < palette.size(); ++i) b[54 + i] = palette[i];
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

// 24-bit rows (bottom row first) from blue, green, red triples, padded.
inline Bytes rows_24(int width, int height, const std::vector<std::uint32_t>& rgb_bottom_up) {
  int pitch = (width * 3 + 3) / 4 * 4;
  Bytes rows(static_cast<std::size_t>(pitch * height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint32_t c = rgb_bottom_up[static_cast<std::size_t>(y * width + x)];
      std::uint8_t* p = &rows[static_cast<std::size_t>(y * pitch + x * 3)];
      p[0] = c & 0xFF;  // blue
      p[1] = (c >> 8) & 0xFF;
      p[2] = (c >> 16) & 0xFF;
    }
  return rows;
}

// An icon file of one 32-bit image of width x height (colour rows bottom-up,
// BGRA), with its AND mask all zero.
inline Bytes make_icon(int width, int height, const std::vector<std::uint32_t>& bgra,
                       int entries = 1) {
  int and_pitch = (width + 31) / 32 * 4;
  std::size_t image_size = 40 + static_cast<std::size_t>(width * height * 4 + and_pitch * height);
  Bytes b(6 + 16 * static_cast<std::size_t>(entries), 0);
  put16(b, 2, 1);
  put16(b, 4, static_cast<std::uint32_t>(entries));
  for (int e = 0; e < entries; ++e) {
    std::size_t entry = 6 + 16 * static_cast<std::size_t>(e);
    b[entry] = static_cast<std::uint8_t>(width);
    b[entry + 1] = static_cast<std::uint8_t>(height);
    put16(b, entry + 4, 1);
    put16(b, entry + 6, 32);
    put32(b, entry + 8, static_cast<std::uint32_t>(image_size));
    put32(b, entry + 12, static_cast<std::uint32_t>(b.size()));
  }
  std::size_t at = b.size();
  b.resize(at + image_size, 0);
  put32(b, at, 40);
  put32(b, at + 4, static_cast<std::uint32_t>(width));
  put32(b, at + 8, static_cast<std::uint32_t>(height * 2));
  put16(b, at + 12, 1);
  put16(b, at + 14, 32);
  for (std::size_t i = 0; i < bgra.size(); ++i) put32(b, at + 40 + 4 * i, bgra[i]);
  return b;
}
