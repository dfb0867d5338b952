// Sizes at the display's DPI.
#include "gui/core/dpi.h"

#include "gui/core/fonts.h"

int dpi_scale(int value, int dpi) {
  return font_mul_div(value, dpi, DPI_DEFAULT);
}

int dpi_unscale(int value, int dpi) {
  return dpi > 0 ? font_mul_div(value, DPI_DEFAULT, dpi) : value;
}

int dpi_font_size(int size, int made_for, int shown_at) {
  return made_for > 0 ? font_mul_div(size, shown_at, made_for) : size;
}
