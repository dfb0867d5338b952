// The pixel layout every picture shares: bottom-up device-independent rows
// of 24 bits (blue, green, red) or 32 bits (blue, green, red, straight alpha),
// each row padded to a multiple of 4 bytes; and the codec identifiers.
#pragma once

#include <cstdint>

// Four-character codes whose bytes in memory read the name.
constexpr std::uint32_t CODEC_BMP = 0x00504D42;   // "BMP\0"
constexpr std::uint32_t CODEC_ICON = 0x4E4F4349;  // "ICON"
constexpr std::uint32_t CODEC_JPEG = 0x4745504A;  // "JPEG"
constexpr std::uint32_t CODEC_PNG = 0x00474E50;   // "PNG\0"

// Flag for codec calls: memory row 0 is the bottom picture row.
constexpr int ROWS_BOTTOM_UP = 2;

// The largest width or height of the picture model (16-bit fields).
constexpr int IMAGE_MAX_DIMENSION = 32767;

// True when a picture of this size fits the model: both sides from 1 to
// IMAGE_MAX_DIMENSION.
inline bool size_fits_model(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= IMAGE_MAX_DIMENSION && height <= IMAGE_MAX_DIMENSION;
}

// Bytes per row of a pixel store; 0 for depths that have no rule.
std::int64_t image_row_pitch(std::int64_t width, int depth);

// True for the bit counts that device-independent bitmaps (BMP files and
// icon images) store: 1, 4, 8, 16, 24 and 32.
inline bool is_dib_bit_count(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// A straight-alpha colour byte flattened onto white.
inline std::uint8_t flatten_onto_white(int colour, int alpha) {
  return static_cast<std::uint8_t>(((colour - 255) * alpha + 65025) / 255);
}

// One row of 32-bit pixels flattened onto white into 24-bit pixels.
void flatten_row_onto_white(const std::uint8_t* source, std::uint8_t* target, int width);
