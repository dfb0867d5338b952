// Pixel stores kept for the next picture of an image object. A batch of
// photos from one camera decodes and scales to the same shapes picture after
// picture; taking the store of the previous picture instead of a fresh one
// spares the first touch of its memory, which costs as much as decoding at
// these sizes. A spare store is not cleared: it is only taken by work that
// writes every pixel (a decode, a stretch, a turn).
#pragma once

#include "image/pixel_store.h"

struct SpareStores {
  PixelStore stores[2];
};

// A spare store of exactly this shape, taken out of the spares, or else a
// new (zeroed) one, the spares then deleted; null when none can be made.
PixelStore spare_store_take(SpareStores& spares, int width, int height, int depth);
// Keeps a store that is no longer needed, deleting the oldest spare when
// both places are taken.
void spare_store_keep(SpareStores& spares, PixelStore store);
// Deletes every spare store.
void spare_stores_clear(SpareStores& spares);
