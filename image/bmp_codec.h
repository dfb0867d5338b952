// The built-in BMP reader and writer.
#pragma once

#include <cstdint>

#include "image/pixel_store.h"

// What a BMP file's headers say, after every offset and size in them has been
// checked against the data.
struct BmpLayout {
  int width;
  int height;  // rows, always positive
  bool top_down;
  int bit_count;
  std::uint32_t info_size;     // information header with masks and colour table
  std::uint32_t pixel_offset;  // from the start of the data
  std::uint64_t pixel_bytes;
};

// False for data that is not a BMP this reader takes: a short or truncated
// file, a header or pixel offset that points outside the data, a zero,
// negative or over-large width or height, a bit count or compression it
// cannot read (run-length and embedded JPEG/PNG BMPs included).
bool bmp_parse(const std::uint8_t* data, std::uint32_t size, BmpLayout* layout);

// Seam: decodes a BMP into a new pixel store of max(24, bit count) bits
// through the platform's DIB transfer; null on failure. A 32-bit picture
// whose alpha bytes are all 0 becomes opaque.
PixelStore bmp_read(const std::uint8_t* data, std::uint32_t size, int* source_depth);

// Writes a BMP of depth 1, 4, 8, 24 or 32 from 24- or 32-bit pixels; 1 on
// success, 0 on failure, when any earlier file of that name is left as it
// was. BMP has no quality: `quality` is there for the encoder's shape.
int bmp_write(const char* file_name, const std::uint8_t* bits, int width, int height,
              std::int64_t pitch, int store_depth, int flags, int quality, int depth);

// Sets every alpha byte of a 32-bit store to 255 when all of them are 0.
void bmp_make_opaque_if_no_alpha(std::uint8_t* bits, int width, int height, std::int64_t pitch);
