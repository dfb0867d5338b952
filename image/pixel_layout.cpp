// Row pitches and flattening onto white.
#include "image/pixel_layout.h"

std::int64_t image_row_pitch(std::int64_t width, int depth) {
  switch (depth) {
    case 1:
      return ((width + 31) / 32) * 4;
    case 4:
      return ((width + 7) / 8) * 4;
    case 8:
      return ((width + 3) / 4) * 4;
    case 15:
    case 16:
      return ((width + 1) / 2) * 4;
    case 24:
      return ((width * 3 + 3) / 4) * 4;
    case 32:
      return width * 4;
    default:
      return 0;
  }
}

void flatten_row_onto_white(const std::uint8_t* source, std::uint8_t* target, int width) {
  for (int x = 0; x < width; ++x, source += 4, target += 3) {
    int alpha = source[3];
    target[0] = flatten_onto_white(source[0], alpha);
    target[1] = flatten_onto_white(source[1], alpha);
    target[2] = flatten_onto_white(source[2], alpha);
  }
}
