// SMOOTH RESAMPLING
//
// Filter: the Mitchell-Netravali cubic with B = C = 1/3, support 2, widened
// by 1/scale when shrinking (with the kernel argument and value scaled by
// the scale), weights normalised per output pixel.
//
// Determinism: the results are specified to the byte, so the arithmetic is
// fixed. The kernel is evaluated in the nested forms below; each output
// channel is one double accumulator that adds byte * weight for the source
// indices in increasing order; the sum becomes a byte by truncating
// (sum + 0.5) toward zero and clamping to 0..255. Floating-point contraction
// (FMA) is off for the whole build, since a fused multiply-add rounds
// differently.
//
// Speed without changing a byte: a table is built once per pass; the four
// channels of a pixel sit side by side so that the compiler can do them in
// vector registers; the vertical pass walks whole rows (every accumulator of
// an output row gets its additions in the same source order as it would
// column by column, so the sums are bit-identical) and so touches memory in
// order.
//
// Alpha: channels are filtered independently, colours are not multiplied by
// alpha; fully transparent source pixels are first made white so that they
// bleed white, not black, into their neighbours. The row order of the
// bottom-up stores does not matter: kernel and centre rule are symmetric.
#include "image/smooth_resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

struct Kernel {
  double p0, p2, p3, q0, q1, q2, q3;
};

Kernel mitchell_kernel() {
  const double B = 1.0 / 3.0, C = 1.0 / 3.0;
  return Kernel{(6 - 2 * B) / 6,      (-18 + 12 * B + 6 * C) / 6, (12 - 9 * B - 6 * C) / 6,
                (8 * B + 24 * C) / 6, (-12 * B - 48 * C) / 6,     (6 * B + 30 * C) / 6,
                (-B - 6 * C) / 6};
}

double kernel_value(const Kernel& k, double x) {
  double t = std::fabs(x);
  if (t < 1.0) return (k.p3 * t + k.p2) * (t * t) + k.p0;
  if (t < 2.0) return ((k.q3 * t + k.q2) * t + k.q1) * t + k.q0;
  return 0.0;
}

std::uint8_t to_byte(double sum) {
  double rounded = std::trunc(sum + 0.5);
  if (rounded < 0) return 0;
  if (rounded >= 255) return 255;
  return static_cast<std::uint8_t>(rounded);
}

constexpr int kChannels = 4;

}  // namespace

ContributionTable::ContributionTable(int output_length, int input_length) {
  const Kernel kernel = mitchell_kernel();
  double support = 2.0, filter_scale = 1.0;
  const double scale = static_cast<double>(output_length) / static_cast<double>(input_length);
  if (scale < 1.0) {
    support = support / scale;
    filter_scale = scale;
  }
  taps_ = 2 * static_cast<int>(std::ceil(support)) + 1;
  weights_.assign(static_cast<std::size_t>(output_length) * static_cast<std::size_t>(taps_), 0.0);
  entries_.resize(static_cast<std::size_t>(output_length));
  const int m = input_length;
  for (int i = 0; i < output_length; ++i) {
    const double centre = i / scale + (0.5 / scale - 0.5);
    double low = std::floor(centre - support);
    double high = std::ceil(centre + support);
    int first = low < 0 ? 0 : static_cast<int>(low);
    int last = high < m - 1 ? static_cast<int>(high) : m - 1;
    if (last - first + 1 > taps_) {
      if (first < m)
        ++first;
      else
        --last;
    }
    double* weights = weights_.data() + static_cast<std::size_t>(i) * taps_;
    double sum = 0.0;
    for (int j = first; j <= last; ++j) {
      double w = kernel_value(kernel, std::fabs((centre - j) * filter_scale)) * filter_scale;
      weights[j - first] = w;
      sum += w;
    }
    if (sum > 0.0 && sum != 1.0)
      for (int j = first; j <= last; ++j) weights[j - first] /= sum;
    entries_[static_cast<std::size_t>(i)] = Contribution{weights, first, last};
  }
}

ContributionTable resample_contributions(int output_length, int input_length) {
  return ContributionTable(output_length, input_length);
}

namespace {

// Two channels in one SSE2 register. Each lane is an ordinary IEEE double
// multiply or add, so the sums are those of the scalar rule.
typedef double Lanes __attribute__((vector_size(16)));

Lanes load_lanes(const double* p) {
  Lanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// One output pixel's accumulators: blue and green, red and alpha.
struct PixelSum {
  Lanes low = {0.0, 0.0};
  Lanes high = {0.0, 0.0};
  void add(const double* pixel, double weight) {
    const Lanes w = {weight, weight};
    low += load_lanes(pixel) * w;
    high += load_lanes(pixel + 2) * w;
  }
  void store(std::uint8_t* out) const {
    out[0] = to_byte(low[0]);
    out[1] = to_byte(low[1]);
    out[2] = to_byte(high[0]);
    out[3] = to_byte(high[1]);
  }
};

void filter_one(const double* row, const Contribution& c, std::uint8_t* out) {
  PixelSum sum;
  const double* pixel = row + static_cast<std::int64_t>(c.first) * kChannels;
  for (int k = 0; k <= c.last - c.first; ++k) sum.add(pixel + k * kChannels, c.weights[k]);
  sum.store(out);
}

// Filters four neighbouring output pixels together: their additions are
// independent, so the processor overlaps them (the sums stay in registers),
// while each pixel still adds its taps in increasing source order.
void filter_four(const double* row, const ContributionTable& table, int x, std::uint8_t* out) {
  const Contribution &c0 = table[x], &c1 = table[x + 1], &c2 = table[x + 2], &c3 = table[x + 3];
  const double* p0 = row + static_cast<std::int64_t>(c0.first) * kChannels;
  const double* p1 = row + static_cast<std::int64_t>(c1.first) * kChannels;
  const double* p2 = row + static_cast<std::int64_t>(c2.first) * kChannels;
  const double* p3 = row + static_cast<std::int64_t>(c3.first) * kChannels;
  const int n0 = c0.last - c0.first + 1, n1 = c1.last - c1.first + 1;
  const int n2 = c2.last - c2.first + 1, n3 = c3.last - c3.first + 1;
  const int shared = std::min(std::min(n0, n1), std::min(n2, n3));
  PixelSum s0, s1, s2, s3;
  for (int k = 0; k < shared; ++k) {
    s0.add(p0 + k * kChannels, c0.weights[k]);
    s1.add(p1 + k * kChannels, c1.weights[k]);
    s2.add(p2 + k * kChannels, c2.weights[k]);
    s3.add(p3 + k * kChannels, c3.weights[k]);
  }
  for (int k = shared; k < n0; ++k) s0.add(p0 + k * kChannels, c0.weights[k]);
  for (int k = shared; k < n1; ++k) s1.add(p1 + k * kChannels, c1.weights[k]);
  for (int k = shared; k < n2; ++k) s2.add(p2 + k * kChannels, c2.weights[k]);
  for (int k = shared; k < n3; ++k) s3.add(p3 + k * kChannels, c3.weights[k]);
  s0.store(out + x * kChannels);
  s1.store(out + (x + 1) * kChannels);
  s2.store(out + (x + 2) * kChannels);
  s3.store(out + (x + 3) * kChannels);
}

// acc[v] += row[v] * weight for a whole row, two lanes at a time.
void add_weighted_row(double* acc, const std::uint8_t* row, std::size_t values, double weight) {
  const Lanes w = {weight, weight};
  std::size_t v = 0;
  for (; v + 4 <= values; v += 4) {
    const Lanes low = {static_cast<double>(row[v]), static_cast<double>(row[v + 1])};
    const Lanes high = {static_cast<double>(row[v + 2]), static_cast<double>(row[v + 3])};
    Lanes a = load_lanes(acc + v), b = load_lanes(acc + v + 2);
    a += low * w;
    b += high * w;
    std::memcpy(acc + v, &a, sizeof a);
    std::memcpy(acc + v + 2, &b, sizeof b);
  }
  for (; v < values; ++v) acc[v] += static_cast<double>(row[v]) * weight;
}

}  // namespace

void resample_horizontal(const std::uint8_t* source, int source_width, std::uint8_t* target,
                         int target_width, int rows, int) {
  const ContributionTable table = resample_contributions(target_width, source_width);
  // Each source byte is converted to double once per row rather than once
  // per tap; the conversion is exact, so the sums do not change.
  std::vector<double> row(static_cast<std::size_t>(source_width) * kChannels);
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* in = source + static_cast<std::int64_t>(y) * source_width * kChannels;
    std::uint8_t* out = target + static_cast<std::int64_t>(y) * target_width * kChannels;
    for (std::size_t v = 0; v < row.size(); ++v) row[v] = static_cast<double>(in[v]);
    int x = 0;
    for (; x + 4 <= target_width; x += 4) filter_four(row.data(), table, x, out);
    for (; x < target_width; ++x) filter_one(row.data(), table[x], out + x * kChannels);
  }
}

void resample_vertical(const std::uint8_t* source, int source_row_width, int source_height,
                       std::uint8_t* target, int columns, int target_height, int) {
  const ContributionTable table = resample_contributions(target_height, source_height);
  const std::size_t values = static_cast<std::size_t>(columns) * kChannels;
  std::vector<double> acc(values);
  const std::int64_t source_stride = static_cast<std::int64_t>(source_row_width) * kChannels;
  for (int y = 0; y < target_height; ++y) {
    const Contribution& c = table[y];
    std::fill(acc.begin(), acc.end(), 0.0);
    for (int j = c.first; j <= c.last; ++j) {
      const double w = c.weights[j - c.first];
      const std::uint8_t* row = source + j * source_stride;
      add_weighted_row(acc.data(), row, values, w);
    }
    std::uint8_t* out = target + static_cast<std::int64_t>(y) * columns * kChannels;
    for (std::size_t v = 0; v < values; ++v) out[v] = to_byte(acc[v]);
  }
}

bool smooth_resample_pixels(std::uint8_t* target, int target_width, int target_height,
                            std::uint8_t* source, int source_width, int source_height) {
  if (!target || !source || target_width <= 0 || target_height <= 0 || source_width <= 0 ||
      source_height <= 0)
    return false;
  const std::int64_t source_pixels = static_cast<std::int64_t>(source_width) * source_height;
  for (std::int64_t p = 0; p < source_pixels; ++p) {
    std::uint8_t* pixel = source + p * kChannels;
    if (pixel[3] == 0) pixel[0] = pixel[1] = pixel[2] = 255;
  }
  try {
    std::vector<std::uint8_t> intermediate(static_cast<std::size_t>(target_width) *
                                           static_cast<std::size_t>(source_height) * kChannels);
    const bool vertical_first = static_cast<std::int64_t>(target_width) * source_height >
                                static_cast<std::int64_t>(target_height) * source_width;
    if (vertical_first) {
      resample_vertical(source, source_width, source_height, intermediate.data(), source_width,
                        target_height);
      resample_horizontal(intermediate.data(), source_width, target, target_width, target_height);
    } else {
      resample_horizontal(source, source_width, intermediate.data(), target_width, source_height);
      resample_vertical(intermediate.data(), target_width, source_height, target, target_width,
                        target_height);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

int smooth_resample(PixelStore target, int target_width, int target_height, PixelStore source,
                    int source_width, int source_height) {
  PixelStoreInfo out{}, in{};
  if (!pixel_store_info(target, &out) || !pixel_store_info(source, &in)) return 0;
  if (out.depth != 32 || in.depth != 32) return 0;
  if (out.width != target_width || out.height != target_height || in.width != source_width ||
      in.height != source_height)
    return 0;
  return smooth_resample_pixels(out.bits, target_width, target_height, in.bits, source_width,
                                source_height)
             ? 1
             : 0;
}
