// Pixel turning: every shown pixel is fetched from the stored position the
// orientation names, so each of the eight cases is one line below.
#include "image/pixel_turn.h"

#include <cstring>

#include "image/picture_traits.h"

namespace {

struct Point {
  int x, y;
};

// The stored pixel shown at (x, y), both counted from the top left, for a
// stored picture of w x h pixels.
Point stored_point(int orientation, int x, int y, int w, int h) {
  switch (orientation) {
    case 2:
      return {w - 1 - x, y};
    case 3:
      return {w - 1 - x, h - 1 - y};
    case 4:
      return {x, h - 1 - y};
    case 5:
      return {y, x};
    case 6:
      return {y, h - 1 - x};
    case 7:
      return {w - 1 - y, h - 1 - x};
    case 8:
      return {w - 1 - y, x};
    default:
      return {x, y};
  }
}

}  // namespace

PixelStore pixel_store_upright(PixelStore source, int orientation) {
  PixelStoreInfo in{}, out{};
  if (!pixel_store_info(source, &in)) return nullptr;
  const bool swap = orientation_swaps_sides(orientation);
  const int width = swap ? in.height : in.width, height = swap ? in.width : in.height;
  PixelStore target = pixel_store_create(width, height, in.depth);
  if (!target || !pixel_store_info(target, &out)) {
    pixel_store_delete(target);
    return nullptr;
  }
  const std::size_t bytes = static_cast<std::size_t>(in.depth / 8);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = out.bits + (height - 1 - y) * out.pitch;  // rows are stored bottom first
    for (int x = 0; x < width; ++x) {
      const Point s = stored_point(orientation, x, y, in.width, in.height);
      std::memcpy(row + x * bytes, in.bits + (in.height - 1 - s.y) * in.pitch + s.x * bytes, bytes);
    }
  }
  return target;
}
