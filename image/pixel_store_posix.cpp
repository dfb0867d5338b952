// Pixel stores on the host build: a header and the rows in one heap block.
#include "image/pixel_store.h"

#include <cstdlib>

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
