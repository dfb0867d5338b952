// Pixel stores on Windows: DIB sections.
#include "image/pixel_store.h"

#include <windows.h>

#include "image/pixel_layout.h"
#include "runtime/scoped_win.h"

PixelStore pixel_store_create(int width, int height, int bit_count) {
  if (width <= 0 || height <= 0 || (bit_count != 24 && bit_count != 32)) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bit_count);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject store(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  return bits ? store.release() : nullptr;
}

bool pixel_store_info(PixelStore store, PixelStoreInfo* info) {
  if (!store || GetObjectType(store) != OBJ_BITMAP) return false;
  DIBSECTION section{};
  if (GetObjectA(store, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
    return false;
  // Our stores are bottom-up; GDI has finished drawing into them before we read.
  GdiFlush();
  int depth = section.dsBmih.biBitCount;
  *info = PixelStoreInfo{section.dsBm.bmWidth, section.dsBm.bmHeight, depth,
                         image_row_pitch(section.dsBm.bmWidth, depth),
                         static_cast<std::uint8_t*>(section.dsBm.bmBits)};
  return true;
}

void pixel_store_delete(PixelStore store) {
  if (store) DeleteObject(store);
}

bool pixel_store_stretch_raw(PixelStore target, PixelStore source) {
  PixelStoreInfo out{}, in{};
  if (!pixel_store_info(target, &out) || !pixel_store_info(source, &in)) return false;
  MemoryDc target_context(CreateCompatibleDC(nullptr)), source_context(CreateCompatibleDC(nullptr));
  if (!target_context || !source_context) return false;
  BOOL ok = FALSE;
  {
    SelectedObject target_selected(target_context.get(), target);
    SelectedObject source_selected(source_context.get(), source);
    if (!target_selected || !source_selected) return false;
    SetStretchBltMode(target_context.get(), COLORONCOLOR);
    ok = StretchBlt(target_context.get(), 0, 0, out.width, out.height, source_context.get(), 0, 0,
                    in.width, in.height, SRCCOPY);
  }
  GdiFlush();  // the pixels are read straight from memory next
  return ok != FALSE;
}
