// Pixel stores kept from one picture for the next.
#include "image/spare_stores.h"

#include <utility>

PixelStore spare_store_take(SpareStores& spares, int width, int height, int depth) {
  for (PixelStore& store : spares.stores) {
    PixelStoreInfo info{};
    if (store && pixel_store_info(store, &info) && info.width == width && info.height == height &&
        info.depth == depth)
      return std::exchange(store, nullptr);
  }
  // Pictures of another shape from here on: the spares would only add to
  // what a picture holds.
  spare_stores_clear(spares);
  return pixel_store_create(width, height, depth);
}

void spare_store_keep(SpareStores& spares, PixelStore store) {
  if (!store) return;
  pixel_store_delete(std::exchange(spares.stores[1], spares.stores[0]));
  spares.stores[0] = store;
}

void spare_stores_clear(SpareStores& spares) {
  for (PixelStore& store : spares.stores) pixel_store_delete(std::exchange(store, nullptr));
}
