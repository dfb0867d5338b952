// Pixel stores on the host build: a header and the rows in one heap block.
#include "image/pixel_store.h"

#include <cstdlib>
#include <cstring>

#include "image/pixel_layout.h"

namespace {
struct alignas(16) HostStore {
  std::uint32_t magic;
  int width, height, depth;
  std::int64_t pitch;
};
constexpr std::uint32_t kMagic = 0x53544f52;
}  // namespace

PixelStore pixel_store_create(int width, int height, int bit_count) {
  if (width <= 0 || height <= 0 || (bit_count != 24 && bit_count != 32)) return nullptr;
  std::int64_t pitch = image_row_pitch(width, bit_count);
  auto* store = static_cast<HostStore*>(
      std::calloc(1, sizeof(HostStore) + static_cast<std::size_t>(pitch * height)));
  if (!store) return nullptr;
  *store = HostStore{kMagic, width, height, bit_count, pitch};
  return store;
}

bool pixel_store_info(PixelStore handle, PixelStoreInfo* info) {
  auto* store = static_cast<HostStore*>(handle);
  if (!store || store->magic != kMagic) return false;
  *info = PixelStoreInfo{store->width, store->height, store->depth, store->pitch,
                         reinterpret_cast<std::uint8_t*>(store + 1)};
  return true;
}

void pixel_store_delete(PixelStore handle) {
  auto* store = static_cast<HostStore*>(handle);
  if (!store) return;
  store->magic = 0;
  std::free(store);
}

// The source pixel under the centre of each target pixel.
bool pixel_store_stretch_raw(PixelStore target, PixelStore source) {
  PixelStoreInfo out{}, in{};
  if (!pixel_store_info(target, &out) || !pixel_store_info(source, &in) || out.depth != in.depth)
    return false;
  const int bytes = out.depth / 8;
  for (int y = 0; y < out.height; ++y) {
    const std::int64_t source_y =
        (2 * static_cast<std::int64_t>(y) + 1) * in.height / (2 * out.height);
    const std::uint8_t* from = in.bits + source_y * in.pitch;
    std::uint8_t* to = out.bits + y * out.pitch;
    for (int x = 0; x < out.width; ++x) {
      const std::int64_t source_x =
          (2 * static_cast<std::int64_t>(x) + 1) * in.width / (2 * out.width);
      std::memcpy(to + x * bytes, from + source_x * bytes, static_cast<std::size_t>(bytes));
    }
  }
  return true;
}
