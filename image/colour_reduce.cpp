// COLOUR REDUCTION
//
// A palette the source picture had is kept when the depth can hold it and it
// is more than black and white: every pixel takes its nearest entry, found
// as among trained neurons below. Otherwise:
// Depth 1 uses a fixed palette (black, white) and splits pixels at a Rec. 709
// luminance of 160. Depths 2 to 8 train a one-dimensional Kohonen map of
// 2^depth neurons over alpha, red, green and blue (NeuQuant style) on a
// sample of the pixels visited with a prime stride, in a space where colours
// are raised to 1/1.8; colour differences are weighed by
// w = 1 - (1 - alpha/255)^2, so the more transparent a pixel, the less its
// colour counts. The trained neurons, rounded back out of that space, are
// the palette; a green-sorted copy with a start index per green value makes
// the nearest-entry search short.
//
// Determinism: every step (learning order, rates, rounding) is fixed, so the
// same picture gives the same palette and indices on every machine. All
// arithmetic is in double, in the order written here.
#include "image/colour_reduce.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "runtime/heap.h"

namespace {

constexpr int kLearningCycles = 100;
constexpr int kPrimes[] = {499, 491, 487, 503};
constexpr double kInitialRate = 1024.0;
constexpr double kInitialRadius = 32.0;
constexpr double kRadiusPowerScale = 1.0 / 262144.0;  // 2^-18
constexpr double kBeta = 1.0 / 1024.0;                // 2^-10
constexpr double kBetaGamma = 1024.0 * kBeta;
constexpr double kFarAway = 1073741824.0;  // 2^30
constexpr double kGamma = 1.8;

double colour_weight(double alpha) {
  const double clear = 1.0 - alpha / 255.0;
  return 1.0 - clear * clear;
}

void set_radius_power(ColourNetwork* n, int r, double rate) {
  const unsigned r2 = static_cast<unsigned>(r * r);
  for (int i = 0; i < r; ++i) {
    const unsigned i2 = static_cast<unsigned>(i * i);
    n->radius_power[i] = std::floor(rate * static_cast<double>(((r2 - i2) * 256u) / r2));
  }
}

void network_init(ColourNetwork* n, const std::uint8_t* picture, std::uint32_t length,
                  std::uint32_t size, double gamma) {
  n->picture = picture;
  n->length = length;
  n->size = size;
  n->gamma = gamma;
  for (int i = 0; i < 256; ++i)
    n->gamma_table[i] = std::floor(std::pow(i / 255.0, 1.0 / gamma) * 255.0 + 0.5);
  for (std::uint32_t j = 0; j < size; ++j) {
    double grey = n->gamma_table[(256 * j) / size];
    n->neurons[j][0] = j < 16 ? 16.0 * j : 255.0;
    n->neurons[j][1] = n->neurons[j][2] = n->neurons[j][3] = grey;
    n->bias[j] = 0.0;
    n->freq[j] = 1.0 / size;
  }
}

void move_neuron(double* neuron, const double sample[4], double factor) {
  for (int c = 0; c < 4; ++c) neuron[c] -= (neuron[c] - sample[c]) * factor;
}

std::uint32_t sampling_step(std::uint32_t length) {
  for (int prime : {kPrimes[0], kPrimes[1], kPrimes[2]})
    if (length % static_cast<std::uint32_t>(prime) != 0)
      return 4u * static_cast<std::uint32_t>(prime);
  return 4u * static_cast<std::uint32_t>(kPrimes[3]);
}

void network_learn(ColourNetwork* n, int sample_factor) {
  const std::uint32_t samples = n->length / (4u * static_cast<std::uint32_t>(sample_factor));
  std::uint32_t delta = samples / kLearningCycles;
  if (delta == 0) delta = 1;
  double rate = kInitialRate, radius = kInitialRadius;
  int r = static_cast<int>(kInitialRadius);
  set_radius_power(n, r, rate);
  const std::uint32_t step = sampling_step(n->length);
  const double rate_divisor = 30 + (sample_factor - 1) / 3;
  std::uint64_t position = 0;
  for (std::uint32_t i = 0; i < samples; ++i) {
    const std::uint8_t* p = n->picture + position;
    double sample[4] = {0.0, 0.0, 0.0, 0.0};  // alpha, red, green, blue
    if (p[3] != 0) {
      sample[0] = p[3];
      sample[1] = std::trunc(n->gamma_table[p[2]]);
      sample[2] = std::trunc(n->gamma_table[p[1]]);
      sample[3] = std::trunc(n->gamma_table[p[0]]);
    }
    const int winner = network_contest(n, sample[0], sample[1], sample[2], sample[3]);
    move_neuron(n->neurons[winner], sample, rate / 1024.0);
    for (int k = 1; k < r; ++k) {
      const double factor = n->radius_power[k] * kRadiusPowerScale;
      if (winner + k <= static_cast<int>(n->size) - 1)
        move_neuron(n->neurons[winner + k], sample, factor);
      if (winner - k >= 0) move_neuron(n->neurons[winner - k], sample, factor);
    }
    position += step;
    while (position >= n->length) position -= n->length;
    if ((i + 1) % delta == 0) {
      rate -= rate / rate_divisor;
      radius -= radius / 30.0;
      r = static_cast<int>(radius);
      if (r <= 1) r = 0;
      if (r > 0) set_radius_power(n, r, rate);
    }
  }
}

double round_colour(double v, double gamma) {
  if (v < 0) return 0;
  double out = std::floor(std::pow(v / 255.0, gamma) * 256.0);
  return out > 255 ? 255 : out;
}

double round_alpha(double a) {
  if (a < 0) return 0;
  double out = std::floor(a / 255.0 * 256.0);
  return out > 255 ? 255 : out;
}

// Sorts the map by green, carrying the neurons along, and fills the start
// index of every green value.
void network_sort_and_index(ColourNetwork* n) {
  for (std::uint32_t i = 0; i < n->size; ++i) {
    std::uint32_t smallest = i;
    for (std::uint32_t j = i + 1; j < n->size; ++j)
      if (n->colour_map[j][1] < n->colour_map[smallest][1]) smallest = j;
    if (smallest != i) {
      double neuron[4];
      std::memcpy(neuron, n->neurons[i], sizeof neuron);
      std::memcpy(n->neurons[i], n->neurons[smallest], sizeof neuron);
      std::memcpy(n->neurons[smallest], neuron, sizeof neuron);
      std::uint8_t entry[4];
      std::memcpy(entry, n->colour_map[i], 4);
      std::memcpy(n->colour_map[i], n->colour_map[smallest], 4);
      std::memcpy(n->colour_map[smallest], entry, 4);
    }
  }
  std::memset(n->green_index, 0, sizeof n->green_index);
  int previous = 0;
  std::uint32_t start = 0;
  for (std::uint32_t i = 0; i < n->size; ++i) {
    const int green = n->colour_map[i][1];
    if (green != previous) {
      n->green_index[previous] = static_cast<std::int32_t>((start + i) / 2);
      for (int g = previous + 1; g < green; ++g) n->green_index[g] = static_cast<std::int32_t>(i);
      previous = green;
      start = i;
    }
  }
  n->green_index[previous] = static_cast<std::int32_t>((start + n->size - 1) / 2);
  for (int g = previous + 1; g < 256; ++g)
    n->green_index[g] = static_cast<std::int32_t>(n->size - 1);
}

void network_build_index(ColourNetwork* n) {
  for (std::uint32_t i = 0; i < n->size; ++i) {
    const double* neuron = n->neurons[i];
    auto back = [&](double v) {
      return static_cast<std::uint8_t>(
          std::trunc(n->gamma_table[static_cast<int>(round_colour(v, n->gamma))]));
    };
    n->colour_map[i][0] = back(neuron[3]);
    n->colour_map[i][1] = back(neuron[2]);
    n->colour_map[i][2] = back(neuron[1]);
    n->colour_map[i][3] = static_cast<std::uint8_t>(round_alpha(neuron[0]));
  }
  network_sort_and_index(n);
}

// A given palette in place of a trained one: the map holds its colours in
// the network space, so that pixels find their nearest entry as they would
// among trained neurons; the neurons carry the colours themselves through
// the sort and become the palette unchanged.
void network_keep_palette(ColourNetwork* n, const std::uint8_t (*palette)[4], int count,
                          std::uint8_t out[256][4]) {
  n->size = static_cast<std::uint32_t>(count);
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* entry = palette[i];
    for (int c = 0; c < 3; ++c)
      n->colour_map[i][c] = static_cast<std::uint8_t>(std::trunc(n->gamma_table[entry[c]]));
    n->colour_map[i][3] = 255;
    n->neurons[i][0] = 255;
    for (int c = 0; c < 3; ++c) n->neurons[i][3 - c] = entry[c];
  }
  network_sort_and_index(n);
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c) out[i][c] = static_cast<std::uint8_t>(n->neurons[i][3 - c]);
    out[i][3] = 255;
  }
}

// A source palette is kept when the copy's depth can hold it, unless it is
// black and white alone: scans keep the luminance split of depth 1 and the
// trained palette of the deeper depths.
bool palette_is_kept(const PictureTraits* traits, int depth) {
  if (!traits || traits->palette_size < 1 || traits->palette_size > (1 << depth)) return false;
  for (int i = 0; i < traits->palette_size; ++i) {
    const std::uint8_t* e = traits->palette[i];
    const bool black = e[0] == 0 && e[1] == 0 && e[2] == 0;
    const bool white = e[0] == 255 && e[1] == 255 && e[2] == 255;
    if (!black && !white) return true;
  }
  return false;
}

void network_palette(const ColourNetwork* n, std::uint8_t palette[256][4]) {
  for (std::uint32_t i = 0; i < n->size; ++i) {
    palette[i][0] = static_cast<std::uint8_t>(round_colour(n->neurons[i][3], n->gamma));
    palette[i][1] = static_cast<std::uint8_t>(round_colour(n->neurons[i][2], n->gamma));
    palette[i][2] = static_cast<std::uint8_t>(round_colour(n->neurons[i][1], n->gamma));
    palette[i][3] = static_cast<std::uint8_t>(round_alpha(n->neurons[i][0]));
  }
}

// Squared, weighted distance to one map entry, or `best` when it cannot win.
// `red_first` picks the order in which blue and red are added.
double entry_distance(const std::uint8_t* entry, double green_term, int alpha, int red, int blue,
                      double w, double best, bool red_first) {
  const double db = entry[0] - blue, dr = entry[2] - red;
  double e = green_term + (red_first ? dr * dr : db * db) * w;
  if (e >= best) return best;
  e += (red_first ? db * db : dr * dr) * w;
  if (e >= best) return best;
  const double da = entry[3] - alpha;
  return e + da * da;
}

std::uint8_t luminance_index(const std::uint8_t* pixel) {
  return 0.2126 * pixel[2] + 0.7152 * pixel[1] + 0.0722 * pixel[0] > 160 ? 1 : 0;
}

}  // namespace

int colour_sample_factor(std::int64_t pixels) {
  std::int64_t quotient = pixels / 262144;
  return quotient >= 9 ? 10 : static_cast<int>(1 + quotient);
}

int network_contest(ColourNetwork* n, double alpha, double red, double green, double blue) {
  const double w = colour_weight(alpha);
  double best_distance = kFarAway, best_biased_distance = kFarAway;
  int best = 0, best_biased = 0;
  for (std::uint32_t i = 0; i < n->size; ++i) {
    const double* neuron = n->neurons[i];
    double d = std::fabs(neuron[1] - red) * w + std::fabs(neuron[3] - blue) * w;
    if (d < best_distance || d < best_biased_distance + n->bias[i]) {
      d = (std::fabs(neuron[2] - green) * w + d) + std::fabs(neuron[0] - alpha);
      if (d < best_distance) {
        best_distance = d;
        best = static_cast<int>(i);
      }
      if (d < best_biased_distance + n->bias[i]) {
        best_biased_distance = d - n->bias[i];
        best_biased = static_cast<int>(i);
      }
    }
    const double f = n->freq[i] * kBeta;
    n->freq[i] -= f;
    n->bias[i] += f * 1024.0;
  }
  n->freq[best] += kBeta;
  n->bias[best] -= kBetaGamma;
  return best_biased;
}

int network_search(const ColourNetwork* n, int alpha, int red, int green, int blue) {
  int r = 0, g = 0, b = 0;
  if (alpha != 0) {
    r = static_cast<int>(std::trunc(n->gamma_table[red]));
    g = static_cast<int>(std::trunc(n->gamma_table[green]));
    b = static_cast<int>(std::trunc(n->gamma_table[blue]));
  }
  const double w = colour_weight(alpha);
  int i = n->green_index[g], j = i - 1;
  int best = 0;
  double best_distance = kFarAway;
  const int size = static_cast<int>(n->size);
  // Looks at one map entry; false when its green difference alone is worse
  // than the best, which ends the whole search.
  auto consider = [&](int k, bool red_first) {
    const double dg = n->colour_map[k][1] - g;
    const double green_term = dg * dg * w;
    if (green_term > best_distance) return false;
    const double e =
        entry_distance(n->colour_map[k], green_term, alpha, r, b, w, best_distance, red_first);
    if (e < best_distance) {
      best_distance = e;
      best = k;
    }
    return true;
  };
  while (i < size || j >= 0) {
    if (i < size && !consider(i++, false)) break;
    if (j >= 0 && !consider(j--, true)) break;
  }
  return best;
}

namespace {

// One row into packed 32-bit pixels; 24-bit pixels become opaque.
void copy_row_packed(const std::uint8_t* in, std::uint8_t* out, int width, int source_depth) {
  if (source_depth == 32) {
    std::memcpy(out, in, static_cast<std::size_t>(width) * 4);
    return;
  }
  for (int x = 0; x < width; ++x, in += 3, out += 4) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = 255;
  }
}

}  // namespace

int colour_reduce_row_bytes(int width, int depth) {
  switch (depth) {
    case 1:
      return (width + 7) / 8;
    case 2:
      return (width + 3) / 4;
    case 4:
      return (width + 1) / 2;
    default:
      return width;
  }
}

ColourReduction* colour_reduce(const std::uint8_t* pixels, int width, int height, int source_depth,
                               std::int64_t pitch, int depth, const PictureTraits* traits) {
  if (!pixels || width <= 0 || height <= 0 || depth < 1 || depth > 8) return nullptr;
  if (source_depth != 24 && source_depth != 32) return nullptr;
  const std::int64_t packed_pitch = static_cast<std::int64_t>(width) * 4;
  if (pitch < static_cast<std::int64_t>(width) * (source_depth / 8)) return nullptr;
  auto* reduction = static_cast<ColourReduction*>(memory_alloc(sizeof(ColourReduction), 0));
  if (!reduction) return nullptr;
  const std::int64_t count = static_cast<std::int64_t>(width) * height;
  const int sample_factor = colour_sample_factor(count);
  if (source_depth == 32 && pitch == packed_pitch) {
    reduction->pixels = const_cast<std::uint8_t*>(pixels);  // already in the packed layout
  } else {
    reduction->pixels = static_cast<std::uint8_t*>(memory_alloc(count * 4, MEMORY_UNCLEARED));
    if (!reduction->pixels) {
      colour_reduce_free(reduction);
      return nullptr;
    }
    reduction->owns_pixels = 1;
    for (int y = 0; y < height; ++y)
      copy_row_packed(pixels + y * pitch, reduction->pixels + y * packed_pitch, width,
                      source_depth);
  }
  reduction->row_buffer = static_cast<std::uint8_t*>(memory_alloc(width + 8, 0));
  if (!reduction->row_buffer) {
    colour_reduce_free(reduction);
    return nullptr;
  }
  reduction->width = width;
  reduction->height = height;
  reduction->source_depth = source_depth;
  reduction->depth = depth;
  reduction->gamma = kGamma;
  reduction->palette_size = 1 << depth;
  const bool kept = palette_is_kept(traits, depth);
  if (depth == 1 && !kept) {
    const std::uint8_t black_white[2][4] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::memcpy(reduction->palette, black_white, sizeof black_white);
    return reduction;
  }
  reduction->network = static_cast<ColourNetwork*>(memory_alloc(sizeof(ColourNetwork), 0));
  if (!reduction->network || count * 4 > UINT32_MAX) {
    colour_reduce_free(reduction);
    return nullptr;
  }
  network_init(reduction->network, reduction->pixels, static_cast<std::uint32_t>(count * 4),
               1u << depth, kGamma);
  if (kept) {
    reduction->palette_size = traits->palette_size;
    network_keep_palette(reduction->network, traits->palette, traits->palette_size,
                         reduction->palette);
    return reduction;
  }
  network_learn(reduction->network, sample_factor);
  network_build_index(reduction->network);
  network_palette(reduction->network, reduction->palette);
  return reduction;
}

const std::uint8_t* colour_reduce_row(ColourReduction* reduction, int row) {
  if (!reduction || row < 0 || row >= reduction->height) return nullptr;
  const int width = reduction->width, depth = reduction->depth;
  const std::uint8_t* pixel = reduction->pixels + static_cast<std::int64_t>(row) * width * 4;
  std::uint8_t* out = reduction->row_buffer;
  std::memset(out, 0, static_cast<std::size_t>(width) + 8);
  const int per_byte = depth == 1 ? 8 : depth == 2 ? 4 : depth == 4 ? 2 : 1;
  const int bits = per_byte == 1 ? 8 : depth;
  for (int x = 0; x < width; ++x, pixel += 4) {
    int index = reduction->network
                    ? network_search(reduction->network, pixel[3], pixel[2], pixel[1], pixel[0])
                    : luminance_index(pixel);
    const int shift = 8 - bits * (x % per_byte + 1);
    out[x / per_byte] |= static_cast<std::uint8_t>(index << shift);
  }
  return out;
}

void colour_reduce_free(ColourReduction* reduction) {
  if (!reduction) return;
  if (reduction->owns_pixels) memory_free(reduction->pixels);
  memory_free(reduction->network);
  memory_free(reduction->row_buffer);
  memory_free(reduction);
}
