// BMP pixels into a pixel store through the platform's DIB transfer.
#include "image/bmp_codec.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "image/pixel_layout.h"
#include "runtime/scoped_win.h"

PixelStore bmp_read(const std::uint8_t* data, std::uint32_t size, int* source_depth) {
  BmpLayout layout{};
  if (!bmp_parse(data, size, &layout)) return nullptr;
  int store_depth = layout.bit_count > 24 ? 32 : 24;
  GdiObject store(pixel_store_create(layout.width, layout.height, store_depth));
  if (!store) return nullptr;
  // The information header with its masks and colour table, aligned; its
  // height keeps its sign, so top-down files land the right way up in the
  // bottom-up store.
  std::vector<std::uint64_t> info((layout.info_size + 7) / 8);
  std::memcpy(info.data(), data + 14, layout.info_size);
  int lines = 0;
  {
    WindowDc screen(nullptr);
    lines = SetDIBits(screen.get(), static_cast<HBITMAP>(store.get()), 0,
                      static_cast<UINT>(layout.height), data + layout.pixel_offset,
                      reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  }
  PixelStoreInfo pixels{};
  if (lines != layout.height || !pixel_store_info(store.get(), &pixels)) return nullptr;
  if (store_depth == 32)
    bmp_make_opaque_if_no_alpha(pixels.bits, layout.width, layout.height, pixels.pitch);
  *source_depth = layout.bit_count;
  return store.release();
}
