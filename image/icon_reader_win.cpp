// Icons from resource bytes through the platform's icon services.
#include "image/icon_reader.h"

#include <windows.h>

#include <vector>

#include "runtime/scoped_win.h"

namespace {

constexpr DWORD kIconFormatVersion = 0x30000;

IconPicture describe(HICON icon) {
  IconPicture picture{icon, 0, 0, 0};
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return picture;
  // The bitmaps are copies made for the caller.
  GdiObject colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bitmap{};
  if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap)) {
    picture.width = bitmap.bmWidth;
    picture.height = bitmap.bmHeight;
    picture.depth = bitmap.bmBitsPixel;
  } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bitmap, &bitmap)) {
    // A monochrome icon keeps picture and mask stacked in one bitmap.
    picture.width = bitmap.bmWidth;
    picture.height = bitmap.bmHeight / 2;
    picture.depth = 1;
  }
  return picture;
}

}  // namespace

IconPicture icon_read(const std::uint8_t* data, std::uint32_t size) {
  IconImage image{};
  if (!icon_select_image(data, size, &image)) return IconPicture{};
  // The icon services want the image bytes on their own, suitably aligned.
  std::vector<BYTE> bytes(data + image.offset, data + image.offset + image.size);
  IconHandle icon(CreateIconFromResourceEx(bytes.data(), image.size, TRUE, kIconFormatVersion,
                                           image.width, image.height, LR_DEFAULTCOLOR));
  if (!icon && image.bit_count != 16)
    icon.reset(CreateIconFromResource(bytes.data(), image.size, TRUE, kIconFormatVersion));
  if (!icon) return IconPicture{};
  IconPicture picture = describe(icon.get());
  if (picture.width <= 0 || picture.height <= 0) return IconPicture{};
  icon.release();  // the caller's now
  return picture;
}

void icon_destroy(void* icon) {
  if (icon) DestroyIcon(static_cast<HICON>(icon));
}
