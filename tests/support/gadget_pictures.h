// Pictures for gadget tests, and the colours the platform shows.
#pragma once

#include <windows.h>

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
