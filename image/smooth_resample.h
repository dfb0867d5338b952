// Smooth resampling of 32-bit pixel stores: a separable two-pass
// Mitchell-Netravali filter (B = C = 1/3) in double precision.
#pragma once

#include <cstdint>
#include <vector>

#include "image/pixel_store.h"

// The source indices and weights that make one output pixel.
struct Contribution {
  const double* weights;  // one per source index first..last
  std::int32_t first;
  std::int32_t last;
};

class ContributionTable {
 public:
  ContributionTable(int output_length, int input_length);
  int size() const { return static_cast<int>(entries_.size()); }
  int taps() const { return taps_; }
  const Contribution& operator[](int i) const { return entries_[static_cast<std::size_t>(i)]; }

 private:
  int taps_ = 0;
  std::vector<double> weights_;
  std::vector<Contribution> entries_;
};

// The contribution table of one axis; throws std::bad_alloc when memory runs out.
ContributionTable resample_contributions(int output_length, int input_length);

// Filters `rows` rows of 4-byte pixels from source width to target width.
void resample_horizontal(const std::uint8_t* source, int source_width, std::uint8_t* target,
                         int target_width, int rows, int channels = 4);

// Filters `columns` columns of 4-byte pixels from source height to target
// height; the source rows are `source_row_width` pixels apart.
void resample_vertical(const std::uint8_t* source, int source_row_width, int source_height,
                       std::uint8_t* target, int columns, int target_height, int channels = 4);

// Resamples tightly packed 32-bit pixels; fully transparent source pixels are
// whitened in place first. False when working memory cannot be had.
bool smooth_resample_pixels(std::uint8_t* target, int target_width, int target_height,
                            std::uint8_t* source, int source_width, int source_height);

// The same on two 32-bit pixel stores; 1 on success, 0 on failure.
int smooth_resample(PixelStore target, int target_width, int target_height, PixelStore source,
                    int source_width, int source_height);
