// Icons from resource bytes through the platform's icon services.
#include "image/icon_reader.h"

#include <windows.h>

#include <vector>

namespace {

constexpr DWORD kIconFormatVersion = 0x30000;

IconPicture describe(HICON icon) {
  IconPicture picture{icon, 0, 0, 0};
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return picture;
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
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return picture;
}

}  // namespace

IconPicture icon_read(const std::uint8_t* data, std::uint32_t size) {
  IconImage image{};
  if (!icon_select_image(data, size, &image)) return IconPicture{};
  // The icon services want the image bytes on their own, suitably aligned.
  std::vector<BYTE> bytes(data + image.offset, data + image.offset + image.size);
  HICON icon = CreateIconFromResourceEx(bytes.data(), image.size, TRUE, kIconFormatVersion,
                                        image.width, image.height, LR_DEFAULTCOLOR);
  if (!icon && image.bit_count != 16)
    icon = CreateIconFromResource(bytes.data(), image.size, TRUE, kIconFormatVersion);
  if (!icon) return IconPicture{};
  IconPicture picture = describe(icon);
  if (picture.width <= 0 || picture.height <= 0) {
    DestroyIcon(icon);
    return IconPicture{};
  }
  return picture;
}
