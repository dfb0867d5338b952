// The info button's picture, held in the program: a 24 x 24 RGBA PNG of a
// white letter i on a blue disc (drawn by scripts/make_icons.py), and the
// same picture drawn at 48 x 48, which the button shows made smaller on
// screens above 96 DPI.
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint8_t> info_icon_png();
std::span<const std::uint8_t> info_icon_detailed_png();
