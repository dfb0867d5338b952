// Platform-free parts of the drawing helpers.
#include "image/image_draw.h"

#include "runtime/graphics_probe.h"

bool pixel_store_has_alpha(const PixelStoreInfo& store) {
  return graphics_alpha_blend() != nullptr && store.depth == 32;
}

int disabled_grey(int blue, int green, int red) {
  int grey = (6 * green + 3 * red + blue) / 10;
  if (grey < 64) grey = 64 + (7 * grey - 448) / 10;
  if (grey > 192) grey = 192 + (7 * grey - 1344) / 10;
  return grey;
}
