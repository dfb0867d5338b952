// Font objects: numbered platform fonts made by face name and point size,
// handed to gadgets (which do not own them).
#pragma once

#include <cstdint>

#include "runtime/registry.h"

constexpr std::uint32_t FONT_UNDERLINE = 0x4;
constexpr std::uint32_t FONT_STRIKEOUT = 0x8;
constexpr std::uint32_t FONT_HIGH_QUALITY = 0x10;
constexpr std::uint32_t FONT_BOLD = 0x100;
constexpr std::uint32_t FONT_ITALIC = 0x200;

struct FontObject {
  void* handle;  // the platform font
};

// Joins the font kind to the runtime's start-up and shutdown.
void fonts_join_runtime();

// The platform font for a number, the object's handle for ANY_OBJECT; 0 on
// failure. The height follows the display's logical inch.
std::uintptr_t font_load(object_number number, const char* face_name, int point_size,
                         std::uint32_t flags = 0);
// The platform font, 0 when the number names no font.
void* font_handle(object_number number);
// Deletes the font; -1 frees every font.
void font_free(object_number number);

// The rules that need no display.
struct FontAttributes {
  int weight;
  bool italic;
  bool underline;
  bool strike_out;
  int quality;
};

// a * b / c with a 64-bit intermediate, rounded to the nearest integer
// (halves away from zero); -1 when c is 0 or the result does not fit, as
// the platform's multiply-divide answers.
std::int32_t font_mul_div(std::int32_t a, std::int32_t b, std::int32_t c);
// The character height (negative) of a size in points on a device with that
// many pixels per logical inch.
std::int32_t font_height(std::int32_t point_size, std::int32_t pixels_per_inch);
FontAttributes font_attributes(std::uint32_t flags);
