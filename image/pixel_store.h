// The pixel store seam: a bottom-up device-independent bitmap whose bits the
// program can reach (a DIB section on Windows, a heap block on the host build).
#pragma once

#include <cstdint>

using PixelStore = void*;

struct PixelStoreInfo {
  int width;
  int height;
  int depth;
  std::int64_t pitch;
  std::uint8_t* bits;  // memory row 0 is the bottom picture row
};

// A zeroed store of `bit_count` bits per pixel (24 or 32), or null.
PixelStore pixel_store_create(int width, int height, int bit_count);
// False when the handle is not a pixel store (an icon, a device bitmap).
bool pixel_store_info(PixelStore store, PixelStoreInfo* info);
void pixel_store_delete(PixelStore store);

// Colour-on-colour stretching of the whole source onto the whole target
// (same depth): every target pixel takes one source pixel, nothing is
// blended. False on failure.
bool pixel_store_stretch_raw(PixelStore target, PixelStore source);
