// The info button's picture, held in the program: a 24 x 24 RGBA PNG of a
// white letter i on a blue disc (drawn by scripts/make_icons.py).
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint8_t> info_icon_png();
