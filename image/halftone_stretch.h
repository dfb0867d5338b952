// Halftone stretching: every target pixel is the average of the source
// pixels it covers, each weighted by the share of it that the target pixel
// covers, in both directions (enlarging included).
#pragma once

#include <cstdint>

// Stretches the whole source onto the whole target; `channels` is 3 or 4
// bytes per pixel (every channel averaged alike). False on bad sizes or when
// working memory cannot be had.
bool halftone_stretch(std::uint8_t* target, int target_width, int target_height,
                      std::int64_t target_pitch, const std::uint8_t* source, int source_width,
                      int source_height, std::int64_t source_pitch, int channels);
