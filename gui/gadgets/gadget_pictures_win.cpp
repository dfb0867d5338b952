// Bitmaps and icons as gadgets draw them.
#include "gui/gadgets/gadget_pictures.h"

#include <cstdint>
#include <new>
#include <vector>

#include "gui/core/dpi.h"
#include "image/image_draw.h"
#include "image/pixel_store.h"
#include "image/smooth_resample.h"
#include "runtime/scoped_win.h"

bool picture_is_bitmap(HANDLE picture) {
  return picture && GetObjectType(picture) == OBJ_BITMAP;
}

SIZE picture_size(HANDLE picture) {
  SIZE size{0, 0};
  BITMAP description{};
  if (picture_is_bitmap(picture)) {
    if (GetObjectA(picture, sizeof description, &description))
      size = SIZE{description.bmWidth, description.bmHeight};
    return size;
  }
  ICONINFO info{};
  if (!picture || !GetIconInfo(static_cast<HICON>(picture), &info)) return size;
  const GdiObject mask(info.hbmMask), colour(info.hbmColor);
  if (mask && GetObjectA(mask.get(), sizeof description, &description))
    size = SIZE{description.bmWidth, colour ? description.bmHeight : description.bmHeight / 2};
  return size;
}

void picture_draw_state(HDC context, HANDLE picture, int x, int y, bool disabled) {
  const SIZE size = picture_size(picture);
  const UINT type = picture_is_bitmap(picture) ? DST_BITMAP : DST_ICON;
  DrawStateA(context, nullptr, nullptr, reinterpret_cast<LPARAM>(picture), 0, x, y, size.cx,
             size.cy, type | (disabled ? DSS_DISABLED : 0));
}

SIZE picture_display_size(HANDLE picture, int dpi) {
  const SIZE own = picture_size(picture);
  return SIZE{dpi_scale(own.cx, dpi), dpi_scale(own.cy, dpi)};
}

namespace {

// The bitmap resampled to `size`, as a 32-bit pixel store (an opaque
// bitmap with full alpha); null when memory runs out.
PixelStore resampled(HANDLE bitmap, SIZE size) {
  const SIZE from = picture_size(bitmap);
  bool copied = false;
  std::uint8_t* pixels = bitmap_pixels_32(bitmap, &copied);
  if (!pixels || from.cx <= 0 || from.cy <= 0) return nullptr;
  // The resampler changes its source (it whitens transparent pixels).
  std::vector<std::uint8_t> source;
  try {
    source.assign(pixels, pixels + static_cast<std::size_t>(from.cx) * from.cy * 4);
  } catch (const std::bad_alloc&) {
  }
  if (copied) bitmap_free_pixels(pixels);
  if (source.empty()) return nullptr;
  if (!image_has_alpha(bitmap))
    for (std::size_t alpha = 3; alpha < source.size(); alpha += 4) source[alpha] = 255;
  PixelStore target = pixel_store_create(size.cx, size.cy, 32);
  PixelStoreInfo info{};
  if (target && pixel_store_info(target, &info) &&
      smooth_resample_pixels(info.bits, size.cx, size.cy, source.data(), from.cx, from.cy))
    return target;
  pixel_store_delete(target);
  return nullptr;
}

}  // namespace

HBITMAP picture_prepared_copy(HANDLE picture, bool disabled, int dpi, HANDLE detailed) {
  if (!picture_is_bitmap(picture)) return nullptr;
  const SIZE own = picture_size(picture), shown = picture_display_size(picture, dpi);
  if (shown.cx == own.cx && shown.cy == own.cy) {
    if (!image_has_alpha(picture)) return nullptr;
    return static_cast<HBITMAP>(bitmap_premultiplied_copy(picture, nullptr, disabled));
  }
  if (shown.cx <= 0 || shown.cy <= 0) return nullptr;
  const SIZE larger = picture_size(detailed);
  const bool from_detailed =
      picture_is_bitmap(detailed) && larger.cx >= shown.cx && larger.cy >= shown.cy;
  const PixelStore scaled = resampled(from_detailed ? detailed : picture, shown);
  if (!scaled) return nullptr;
  const auto copy = static_cast<HBITMAP>(bitmap_premultiplied_copy(scaled, nullptr, disabled));
  pixel_store_delete(scaled);
  return copy;
}
