// HALFTONE STRETCHING
//
// Coverage is counted exactly in integers. Along one axis of source length S
// and target length D, measure in units of 1/D of a source pixel: source
// pixel j spans [j*D, (j+1)*D) and target pixel i spans [i*S, (i+1)*S), so
// the overlap of the two is an integer weight and the weights of one target
// pixel add up to S. In two dimensions the weight is the product and the sum
// is S_w * S_h; the average is rounded half up: (sum + total/2) / total.
//
// The horizontal sums of a source row stay below 255 * 32767 (32 bits); the
// weighted vertical sums stay below 255 * 32767^2 (64 bits). Each target row
// needs only the source rows under it, and consecutive target rows share at
// most their border rows when shrinking, so two cached horizontal rows make
// every source row's horizontal pass run about once.
//
// The rounding division is the costliest step (one for every channel of
// every target pixel), so it multiplies by the reciprocal in floating point
// and then corrects the quotient by one where that rounded: the result is
// the exact integer quotient all the same, at a fraction of the time.
#include "image/halftone_stretch.h"

#include <algorithm>
#include <vector>

namespace {

struct Tap {
  std::int32_t index;
  std::uint32_t weight;
};

struct AxisSpans {
  std::vector<Tap> taps;
  std::vector<std::uint32_t> begin;  // taps[begin[i] .. begin[i+1]) belong to target i
  std::uint64_t total;               // sum of one target pixel's weights (= source length)
};

AxisSpans axis_spans(int source_length, int target_length) {
  AxisSpans spans;
  spans.total = static_cast<std::uint64_t>(source_length);
  spans.begin.reserve(static_cast<std::size_t>(target_length) + 1);
  const std::int64_t S = source_length, D = target_length;
  for (std::int64_t i = 0; i < D; ++i) {
    spans.begin.push_back(static_cast<std::uint32_t>(spans.taps.size()));
    std::int64_t from = i * S, to = (i + 1) * S;
    for (std::int64_t j = from / D; j * D < to && j < S; ++j) {
      std::int64_t overlap = std::min(to, (j + 1) * D) - std::max(from, j * D);
      if (overlap > 0)
        spans.taps.push_back(
            Tap{static_cast<std::int32_t>(j), static_cast<std::uint32_t>(overlap)});
    }
  }
  spans.begin.push_back(static_cast<std::uint32_t>(spans.taps.size()));
  return spans;
}

// n / divisor, exactly, for quotients that fit a byte.
class ByteQuotient {
 public:
  explicit ByteQuotient(std::uint64_t divisor)
      : divisor_(divisor), reciprocal_(1.0 / static_cast<double>(divisor)) {}
  std::uint8_t operator()(std::uint64_t n) const {
    std::uint64_t q = static_cast<std::uint64_t>(static_cast<double>(n) * reciprocal_);
    if (q * divisor_ > n)
      --q;
    else if ((q + 1) * divisor_ <= n)
      ++q;
    return static_cast<std::uint8_t>(q);
  }

 private:
  std::uint64_t divisor_;
  double reciprocal_;
};

template <int Channels>
void horizontal_sums(const std::uint8_t* row, const AxisSpans& spans, int target_width,
                     std::uint32_t* sums) {
  for (int x = 0; x < target_width; ++x) {
    std::uint32_t acc[Channels] = {};
    for (std::uint32_t t = spans.begin[x]; t < spans.begin[x + 1]; ++t) {
      const std::uint8_t* pixel = row + static_cast<std::int64_t>(spans.taps[t].index) * Channels;
      for (int c = 0; c < Channels; ++c) acc[c] += pixel[c] * spans.taps[t].weight;
    }
    for (int c = 0; c < Channels; ++c) sums[x * Channels + c] = acc[c];
  }
}

template <int Channels>
bool stretch(std::uint8_t* target, int target_width, int target_height, std::int64_t target_pitch,
             const std::uint8_t* source, int source_width, int source_height,
             std::int64_t source_pitch) {
  AxisSpans columns = axis_spans(source_width, target_width);
  AxisSpans rows = axis_spans(source_height, target_height);
  const std::size_t row_values = static_cast<std::size_t>(target_width) * Channels;
  std::vector<std::uint32_t> cache(row_values * 2);
  std::int32_t cached_row[2] = {-1, -1};
  std::vector<std::uint64_t> acc(row_values);
  const std::uint64_t total = columns.total * rows.total, half = total / 2;
  const ByteQuotient average(total);

  auto sums_of = [&](std::int32_t source_row) -> const std::uint32_t* {
    for (int k = 0; k < 2; ++k)
      if (cached_row[k] == source_row) return cache.data() + k * row_values;
    int k = cached_row[0] < cached_row[1] ? 0 : 1;  // rows come in order: drop the older
    horizontal_sums<Channels>(source + source_row * source_pitch, columns, target_width,
                              cache.data() + k * row_values);
    cached_row[k] = source_row;
    return cache.data() + k * row_values;
  };

  for (int y = 0; y < target_height; ++y) {
    std::fill(acc.begin(), acc.end(), 0);
    for (std::uint32_t t = rows.begin[y]; t < rows.begin[y + 1]; ++t) {
      const std::uint32_t* sums = sums_of(rows.taps[t].index);
      const std::uint64_t weight = rows.taps[t].weight;
      for (std::size_t v = 0; v < row_values; ++v) acc[v] += weight * sums[v];
    }
    std::uint8_t* out = target + y * target_pitch;
    for (std::size_t v = 0; v < row_values; ++v)
      out[v] = average(acc[v] + half);
  }
  return true;
}

}  // namespace

bool halftone_stretch(std::uint8_t* target, int target_width, int target_height,
                      std::int64_t target_pitch, const std::uint8_t* source, int source_width,
                      int source_height, std::int64_t source_pitch, int channels) {
  if (!target || !source || target_width <= 0 || target_height <= 0 || source_width <= 0 ||
      source_height <= 0)
    return false;
  try {
    if (channels == 3)
      return stretch<3>(target, target_width, target_height, target_pitch, source, source_width,
                        source_height, source_pitch);
    if (channels == 4)
      return stretch<4>(target, target_width, target_height, target_pitch, source, source_width,
                        source_height, source_pitch);
  } catch (const std::bad_alloc&) {
  }
  return false;
}
