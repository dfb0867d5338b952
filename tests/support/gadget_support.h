// Gadget tests: their fixtures, pictures to show, and what the platform
// shows.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <functional>

#include "gui/dnd/drag_drop.h"
#include "gui/gadgets/common_controls.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadgets.h"
#include "image/pixel_store.h"
#include "support/toolkit_fixture.h"

// The toolkit's core with the gadget kind and the common controls.
class GadgetToolkitTest : public ToolkitTest {
 protected:
  static void SetUpTestSuite() {
    ToolkitTest::SetUpTestSuite();
    gadgets_join_runtime();
    common_controls_join_runtime();
  }
};

// The same with drag and drop (OLE), for drop targets on gadgets.
class DropToolkitTest : public GadgetToolkitTest {
 protected:
  static void SetUpTestSuite() {
    GadgetToolkitTest::SetUpTestSuite();
    drag_drop_join_runtime();
  }
};

// A pixel store (24 or 32 bits) whose pixels a function paints, deleted
// with the object.
class TestPicture {
 public:
  // Paints the pixel at (x, y), y counted from the top: blue, green, red
  // (and alpha).
  using Painter = std::function<void(int x, int y, std::uint8_t* pixel)>;

  TestPicture(int width, int height, int depth, const Painter& paint)
      : store_(pixel_store_create(width, height, depth)) {
    PixelStoreInfo info{};
    if (!store_ || !pixel_store_info(store_, &info)) return;
    for (int row = 0; row < height; ++row)  // the store's first row is the bottom one
      for (int x = 0; x < width; ++x)
        paint(x, height - 1 - row, info.bits + row * info.pitch + x * (depth / 8));
  }
  // One colour (and, at 32 bits, one alpha) everywhere.
  TestPicture(int width, int height, int depth, COLORREF colour, int alpha = 255)
      : TestPicture(width, height, depth, [=](int, int, std::uint8_t* pixel) {
          pixel[0] = GetBValue(colour);
          pixel[1] = GetGValue(colour);
          pixel[2] = GetRValue(colour);
          if (depth == 32) pixel[3] = static_cast<std::uint8_t>(alpha);
        }) {}
  ~TestPicture() { pixel_store_delete(store_); }
  TestPicture(const TestPicture&) = delete;
  TestPicture& operator=(const TestPicture&) = delete;

  std::uintptr_t handle_value() const { return reinterpret_cast<std::uintptr_t>(store_); }

 private:
  PixelStore store_;
};

// 24 x 24 with alpha: a white letter i on a blue disc, like the
// application's info icon.
inline void paint_info_picture(int x, int y, std::uint8_t* pixel) {
  const double dx = x + 0.5 - 12, dy = y + 0.5 - 12;
  const double edge = 11.5 - std::sqrt(dx * dx + dy * dy);
  const int alpha = edge >= 1 ? 255 : edge <= 0 ? 0 : static_cast<int>(edge * 255);
  const bool letter = (x >= 11 && x <= 12 && ((y >= 5 && y <= 6) || (y >= 9 && y <= 18))) ||
                      (y == 18 && x >= 10 && x <= 13) || (y == 9 && x == 10);
  pixel[0] = letter ? 255 : 200;
  pixel[1] = letter ? 255 : 110;
  pixel[2] = letter ? 255 : 30;
  pixel[3] = static_cast<std::uint8_t>(alpha);
}

// The colour shown at a client point of a window.
inline COLORREF screen_pixel_at(HWND window, int x, int y) {
  const HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

// The control of a gadget, or null.
inline HWND control_of(object_number gadget) {
  GadgetObject* object = gadget_object(gadget);
  return object ? object->handle : nullptr;
}

inline POINT screen_centre_of(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
