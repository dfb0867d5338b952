// Drawing helpers over GDI and msimg32's AlphaBlend.
#include "image/image_draw.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "image/pixel_store.h"
#include "runtime/graphics_probe.h"
#include "runtime/heap.h"
#include "runtime/scoped_win.h"

namespace {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);

AlphaBlendFunction alpha_blend() {
  return reinterpret_cast<AlphaBlendFunction>(graphics_alpha_blend());
}

bool bitmap_size(void* bitmap, BITMAP* description) {
  return bitmap && GetObjectType(bitmap) == OBJ_BITMAP &&
         GetObjectA(bitmap, sizeof *description, description) != 0;
}

BITMAPINFO bottom_up_32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// Transfers any bitmap into 32-bit bottom-up pixels.
bool read_pixels_32(void* bitmap, HDC context, int width, int height, std::uint8_t* pixels) {
  BITMAPINFO info = bottom_up_32(width, height);
  MemoryDc own_context(context ? nullptr : CreateCompatibleDC(nullptr));
  int lines = GetDIBits(context ? context : own_context.get(), static_cast<HBITMAP>(bitmap), 0,
                        static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS);
  return lines == height;
}

void blend(HDC target, int x, int y, int width, int height, void* bitmap, HDC memory_context,
           int opacity, BYTE alpha_format) {
  BITMAP description{};
  if (!bitmap_size(bitmap, &description)) return;
  if (width == 0) width = description.bmWidth;
  if (height == 0) height = description.bmHeight;
  MemoryDc own_context(memory_context ? nullptr : CreateCompatibleDC(target));
  HDC context = memory_context ? memory_context : own_context.get();
  SelectedObject selected(context, bitmap);
  if (!selected) return;
  if (AlphaBlendFunction service = alpha_blend()) {
    BLENDFUNCTION function{AC_SRC_OVER, 0, static_cast<BYTE>(opacity), alpha_format};
    service(target, x, y, width, height, context, 0, 0, description.bmWidth, description.bmHeight,
            function);
  } else if (alpha_format == 0) {
    StretchBlt(target, x, y, width, height, context, 0, 0, description.bmWidth,
               description.bmHeight, SRCCOPY);
  }
}

}  // namespace

bool image_has_alpha(void* bitmap) {
  BITMAP description{};
  if (!alpha_blend() || !bitmap_size(bitmap, &description)) return false;
  PixelStoreInfo store{};
  if (pixel_store_info(bitmap, &store)) return pixel_store_has_alpha(store);
  if (description.bmBitsPixel != 32) return false;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(description.bmWidth) *
                                   description.bmHeight * 4);
  if (!read_pixels_32(bitmap, nullptr, description.bmWidth, description.bmHeight, pixels.data()))
    return false;
  for (std::size_t i = 3; i < pixels.size(); i += 4)
    if (pixels[i] != 0) return true;
  return false;
}

std::uint8_t* bitmap_pixels_32(void* bitmap, bool* copied) {
  *copied = false;
  PixelStoreInfo store{};
  if (pixel_store_info(bitmap, &store) && store.depth == 32) return store.bits;
  BITMAP description{};
  if (!bitmap_size(bitmap, &description)) return nullptr;
  std::size_t size = static_cast<std::size_t>(description.bmWidth) * description.bmHeight * 4;
  auto* pixels = static_cast<std::uint8_t*>(heap_alloc(HEAP_RUNTIME, size, true));
  if (!pixels) return nullptr;
  if (!read_pixels_32(bitmap, nullptr, description.bmWidth, description.bmHeight, pixels)) {
    runtime_free(pixels);
    return nullptr;
  }
  *copied = true;
  return pixels;
}

void bitmap_free_pixels(std::uint8_t* pixels) {
  runtime_free(pixels);
}

void* bitmap_premultiplied_copy(void* bitmap, void* device_context, bool disabled) {
  BITMAP description{};
  if (!alpha_blend() || !bitmap_size(bitmap, &description)) return nullptr;
  const int width = description.bmWidth, height = description.bmHeight;
  GdiObject copy(pixel_store_create(width, height, 32));
  PixelStoreInfo target{};
  if (!copy || !pixel_store_info(copy.get(), &target) ||
      !read_pixels_32(bitmap, static_cast<HDC>(device_context), width, height, target.bits))
    return nullptr;
  std::uint8_t* pixel = target.bits;
  for (std::int64_t p = 0; p < static_cast<std::int64_t>(width) * height; ++p, pixel += 4) {
    const int alpha = pixel[3];
    if (disabled) {
      int grey = disabled_grey(pixel[0], pixel[1], pixel[2]);
      auto value = static_cast<std::uint8_t>(static_cast<float>(alpha) / 255.0f * grey);
      pixel[0] = pixel[1] = pixel[2] = value;
    } else if (alpha != 255) {
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>((alpha * pixel[c]) >> 8);
    }
  }
  return copy.release();
}

void bitmap_free_premultiplied(void* bitmap) {
  if (alpha_blend() && bitmap) DeleteObject(bitmap);
}

void bitmap_draw_alpha(void* target, int x, int y, int width, int height, void* bitmap,
                       void* memory_context, int opacity) {
  if (!alpha_blend()) return;
  blend(static_cast<HDC>(target), x, y, width, height, bitmap, static_cast<HDC>(memory_context),
        opacity, AC_SRC_ALPHA);
}

void bitmap_draw(void* target, int x, int y, int width, int height, void* bitmap,
                 void* memory_context, int opacity) {
  blend(static_cast<HDC>(target), x, y, width, height, bitmap, static_cast<HDC>(memory_context),
        opacity, 0);
}

void* bitmap_alpha_mask(void* bitmap) {
  BITMAP description{};
  if (!bitmap_size(bitmap, &description)) return nullptr;
  const int width = description.bmWidth, height = description.bmHeight;
  // Monochrome rows are padded to 16 bits, top row first; a 0 bit is black.
  const int row_bytes = (width + 15) / 16 * 2;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(row_bytes) * height, 0);
  bool copied = false;
  std::uint8_t* pixels = nullptr;
  if (!graphics_visual_styles() && description.bmBitsPixel == 32)
    pixels = bitmap_pixels_32(bitmap, &copied);
  if (pixels) {
    bool any_black = false;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = pixels + static_cast<std::int64_t>(height - 1 - y) * width * 4;
      for (int x = 0; x < width; ++x) {
        if (row[x * 4 + 3] != 0)
          any_black = true;
        else
          mask[y * row_bytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    if (!any_black) std::fill(mask.begin(), mask.end(), 0);
    if (copied) bitmap_free_pixels(pixels);
  }
  return CreateBitmap(width, height, 1, 1, mask.data());
}
