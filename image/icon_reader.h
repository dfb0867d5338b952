// The built-in icon reader: the best image of an icon file's first size.
#pragma once

#include <cstdint>

struct IconImage {
  std::uint32_t offset;  // of the image bytes in the data
  std::uint32_t size;
  int width;
  int height;  // of the picture (half the bitmap header's height)
  int bit_count;
  bool png;  // the image bytes are a PNG stream
};

// Picks, among the directory entries of the same size as entry 0, the first
// with the highest bit count, and checks that its bytes lie inside the data
// and hold a complete picture. False for anything else.
bool icon_select_image(const std::uint8_t* data, std::uint32_t size, IconImage* image);

struct IconPicture {
  void* icon;  // platform icon handle, null on failure
  int width;
  int height;
  int depth;
};

// Seam: creates the platform icon from the selected image.
IconPicture icon_read(const std::uint8_t* data, std::uint32_t size);
// Seam: destroys an icon that icon_read made.
void icon_destroy(void* icon);
