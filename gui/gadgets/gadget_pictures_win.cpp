// Bitmaps and icons as gadgets draw them.
#include "gui/gadgets/gadget_pictures.h"

#include "image/image_draw.h"
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

HBITMAP picture_prepared_copy(HANDLE picture, bool disabled) {
  if (!picture_is_bitmap(picture) || !image_has_alpha(picture)) return nullptr;
  return static_cast<HBITMAP>(bitmap_premultiplied_copy(picture, nullptr, disabled));
}
