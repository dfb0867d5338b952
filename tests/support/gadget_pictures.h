// Pictures for gadget tests, and the colours the platform shows.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>

#include "image/pixel_store.h"

// A pixel store of one colour (24 or 32 bits; 32-bit ones with the given
// alpha), deleted with the object.
class TestPicture {
 public:
  TestPicture(int width, int height, int depth, COLORREF colour, int alpha = 255)
      : store_(pixel_store_create(width, height, depth)) {
    PixelStoreInfo info{};
    if (!store_ || !pixel_store_info(store_, &info)) return;
    const int bytes = depth / 8;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        std::uint8_t* pixel = info.bits + y * info.pitch + x * bytes;
        pixel[0] = GetBValue(colour);
        pixel[1] = GetGValue(colour);
        pixel[2] = GetRValue(colour);
        if (bytes == 4) pixel[3] = static_cast<std::uint8_t>(alpha);
      }
  }
  ~TestPicture() { pixel_store_delete(store_); }
  TestPicture(const TestPicture&) = delete;
  TestPicture& operator=(const TestPicture&) = delete;

  std::uintptr_t handle_value() const { return reinterpret_cast<std::uintptr_t>(store_); }

 private:
  PixelStore store_;
};

// The colour shown at a client point of a window.
inline COLORREF screen_pixel_at(HWND window, int x, int y) {
  const HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

// A 24 x 24 picture with alpha: a white letter i on a blue disc, like the
// application's info icon.
class InfoPicture {
 public:
  InfoPicture() : store_(pixel_store_create(24, 24, 32)) {
    PixelStoreInfo info{};
    if (!store_ || !pixel_store_info(store_, &info)) return;
    for (int row = 0; row < 24; ++row)
      for (int x = 0; x < 24; ++x) {
        const int y = 23 - row;  // the store's first row is the bottom one
        const double dx = x + 0.5 - 12, dy = y + 0.5 - 12;
        const double edge = 11.5 - std::sqrt(dx * dx + dy * dy);
        const int alpha = edge >= 1 ? 255 : edge <= 0 ? 0 : static_cast<int>(edge * 255);
        const bool letter = (x >= 11 && x <= 12 && ((y >= 5 && y <= 6) || (y >= 9 && y <= 18))) ||
                            (y == 18 && x >= 10 && x <= 13) || (y == 9 && x == 10);
        std::uint8_t* pixel = info.bits + row * info.pitch + x * 4;
        pixel[0] = letter ? 255 : 200;
        pixel[1] = letter ? 255 : 110;
        pixel[2] = letter ? 255 : 30;
        pixel[3] = static_cast<std::uint8_t>(alpha);
      }
  }
  ~InfoPicture() { pixel_store_delete(store_); }
  InfoPicture(const InfoPicture&) = delete;
  InfoPicture& operator=(const InfoPicture&) = delete;

  std::uintptr_t handle_value() const { return reinterpret_cast<std::uintptr_t>(store_); }

 private:
  PixelStore store_;
};
