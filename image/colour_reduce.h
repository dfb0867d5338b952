// Colour reduction to palettes of 2 to 256 colours for palette BMP and PNG
// files: the source's own palette where it is kept, else a fixed
// black-and-white palette with a luminance threshold for depth 1 and a
// self-organising colour network for depths 2 to 8.
#pragma once

#include <cstdint>

#include "image/picture_traits.h"

struct ColourNetwork {
  const std::uint8_t* picture;
  std::uint32_t length;           // bytes: 4 * width * height
  double neurons[256][4];         // alpha, red, green, blue, in the gamma-adjusted space
  std::int32_t green_index[256];  // where a search for each green value starts
  double bias[256];
  double freq[256];
  double radius_power[32];
  std::uint32_t size;  // 2^depth neurons
  double gamma;
  double gamma_table[256];
  std::uint8_t colour_map[256][4];  // blue, green, red, alpha, sorted by green
};

struct ColourReduction {
  // 32-bit pixels, rows of 4 * width bytes: the source itself when it has
  // that layout, otherwise a private copy (owns_pixels)
  std::uint8_t* pixels;
  std::int32_t height;
  std::int32_t width;
  std::int32_t source_depth;
  std::int32_t depth;
  std::int32_t owns_pixels;
  std::uint8_t* row_buffer;
  ColourNetwork* network;
  double gamma;
  std::uint8_t palette[256][4];  // blue, green, red, alpha
  std::int32_t palette_size;     // entries in use: 2^depth, or those of a kept palette
};

// Builds the palette of 2^depth colours (depth 1 to 8) for 24- or 32-bit
// pixels whose rows are `pitch` bytes apart, or keeps the palette the
// source's traits name (see colour_reduce.cpp); null when memory runs out
// or the arguments make no picture.
ColourReduction* colour_reduce(const std::uint8_t* pixels, int width, int height, int source_depth,
                               std::int64_t pitch, int depth,
                               const PictureTraits* traits = nullptr);

// The packed palette indices of one memory row (most significant bits
// first), in the reduction's row buffer.
const std::uint8_t* colour_reduce_row(ColourReduction* reduction, int row);

void colour_reduce_free(ColourReduction* reduction);

// Bytes of one packed row of indices.
int colour_reduce_row_bytes(int width, int depth);

// Pieces of the network, exposed for tests.
int colour_sample_factor(std::int64_t pixels);
int network_contest(ColourNetwork* network, double alpha, double red, double green, double blue);
int network_search(const ColourNetwork* network, int alpha, int red, int green, int blue);
