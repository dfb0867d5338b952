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

#include <cmath>
#include <new>

namespace {

struct Kernel {
  double p0, p2, p3, q0, q1, q2, q3;
};

Kernel mitchell_kernel() {
  const double B = 1.0 / 3.0, C = 1.0 / 3.0;
  return Kernel{(6 - 2 * B) / 6,          (-18 + 12 * B + 6 * C) / 6, (12 - 9 * B - 6 * C) / 6,
                (8 * B + 24 * C) / 6,     (-12 * B - 48 * C) / 6,     (6 * B + 30 * C) / 6,
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
      if (first < m) ++first;
      else --last;
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

void resample_horizontal(const std::uint8_t* source, int source_width, std::uint8_t* target,
                         int target_width, int rows, int) {
  const ContributionTable table = resample_contributions(target_width, source_width);
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* in = source + static_cast<std::int64_t>(y) * source_width * kChannels;
    std::uint8_t* out = target + static_cast<std::int64_t>(y) * target_width * kChannels;
    for (int x = 0; x < target_width; ++x) {
      const Contribution& c = table[x];
      double acc[kChannels] = {0.0, 0.0, 0.0, 0.0};
      for (int j = c.first; j <= c.last; ++j) {
        const double w = c.weights[j - c.first];
        const std::uint8_t* pixel = in + static_cast<std::int64_t>(j) * kChannels;
        for (int ch = 0; ch < kChannels; ++ch) acc[ch] += static_cast<double>(pixel[ch]) * w;
      }
      for (int ch = 0; ch < kChannels; ++ch) out[x * kChannels + ch] = to_byte(acc[ch]);
    }
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
      double* a = acc.data();
      for (std::size_t v = 0; v < values; ++v) a[v] += static_cast<double>(row[v]) * w;
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
