// Font height and attributes from size and flags.
#include "gui/core/fonts.h"

#include <cstdlib>
#include <limits>

std::int32_t font_mul_div(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  // Round half away from zero on magnitudes, then put the sign back.
  const std::uint64_t magnitude = static_cast<std::uint64_t>(std::llabs(product));
  const std::uint64_t divisor =
      static_cast<std::uint64_t>(std::llabs(static_cast<std::int64_t>(c)));
  const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return -1;
  return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(quotient))
                  : static_cast<std::int32_t>(quotient);
}

std::int32_t font_height(std::int32_t point_size, std::int32_t pixels_per_inch) {
  return -font_mul_div(point_size, pixels_per_inch, 72);
}

FontAttributes font_attributes(std::uint32_t flags) {
  return FontAttributes{(flags & FONT_BOLD) ? 700 : 400, (flags & FONT_ITALIC) != 0,
                        (flags & FONT_UNDERLINE) != 0, (flags & FONT_STRIKEOUT) != 0,
                        (flags & FONT_HIGH_QUALITY) ? 2 : 0};
}
