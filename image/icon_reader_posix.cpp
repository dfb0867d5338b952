// Icons on the host build, which has no icon service: the icon is a copy of
// the selected image's bytes with the size and depth its entry gives, held
// until it is destroyed. Nothing on the host draws it.
#include "image/icon_reader.h"

#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kMagic = 0x4E4F4349;  // "ICON"

struct HostIcon {
  std::uint32_t magic;
  std::vector<std::uint8_t> image;
};

}  // namespace

IconPicture icon_read(const std::uint8_t* data, std::uint32_t size) {
  IconImage image{};
  if (!icon_select_image(data, size, &image)) return IconPicture{};
  auto* icon = new (std::nothrow) HostIcon{kMagic, {}};
  if (!icon) return IconPicture{};
  try {
    icon->image.assign(data + image.offset, data + image.offset + image.size);
  } catch (...) {
    delete icon;
    return IconPicture{};
  }
  return IconPicture{icon, image.width, image.height, image.bit_count};
}

void icon_destroy(void* icon) {
  auto* host_icon = static_cast<HostIcon*>(icon);
  if (!host_icon || host_icon->magic != kMagic) return;
  host_icon->magic = 0;
  delete host_icon;
}
