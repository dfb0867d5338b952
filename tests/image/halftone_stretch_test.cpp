// Halftone stretching averages what each target pixel covers.
#include "image/halftone_stretch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Pixels = std::vector<std::uint8_t>;

// One row of 24-bit pixels, every channel the same value.
Pixels grey24(const std::vector<int>& values) {
  Pixels row;
  for (int v : values) row.insert(row.end(), 3, static_cast<std::uint8_t>(v));
  return row;
}

std::vector<int> first_channel(const Pixels& row, int channels) {
  std::vector<int> out;
  for (std::size_t i = 0; i < row.size(); i += channels) out.push_back(row[i]);
  return out;
}

std::vector<int> stretch_row(const std::vector<int>& values, int target_width) {
  Pixels source = grey24(values);
  Pixels target(static_cast<std::size_t>(target_width) * 3, 0xCC);
  EXPECT_TRUE(halftone_stretch(target.data(), target_width, 1, target_width * 3, source.data(),
                               static_cast<int>(values.size()), 1,
                               static_cast<std::int64_t>(source.size()), 3));
  return first_channel(target, 3);
}

TEST(HalftoneStretch, halving_averages_pairs_instead_of_dropping_pixels) {
  // (0 + 255) / 2 = 127.5, rounded half up
  EXPECT_EQ(stretch_row({0, 255, 0, 255}, 2), (std::vector<int>{128, 128}));
  EXPECT_EQ(stretch_row({10, 20, 30, 50}, 1), (std::vector<int>{28}));  // 110 / 4 = 27.5
}

TEST(HalftoneStretch, partial_coverage_is_weighted_by_its_share) {
  // 3 -> 2: target 0 is 2/3 of source 0 and 1/3 of source 1.
  EXPECT_EQ(stretch_row({0, 90, 255}, 2), (std::vector<int>{30, 200}));
}

TEST(HalftoneStretch, enlarging_blends_where_a_target_pixel_straddles_two_sources) {
  EXPECT_EQ(stretch_row({0, 255}, 3), (std::vector<int>{0, 128, 255}));
  EXPECT_EQ(stretch_row({40}, 5), (std::vector<int>{40, 40, 40, 40, 40}));
  // 2 -> 5: targets span 0.4 source pixels; target 2 is half of each.
  EXPECT_EQ(stretch_row({100, 200}, 5), (std::vector<int>{100, 100, 150, 200, 200}));
}

TEST(HalftoneStretch, averages_in_both_directions_over_padded_rows) {
  // 2 x 2 source (pitch 8 with padding) to 1 x 1: the average of four pixels.
  Pixels source = {10, 10, 10, 20, 20, 20, 0xEE, 0xEE, 30, 30, 30, 41, 41, 41, 0xEE, 0xEE};
  Pixels target(4, 0xCC);
  ASSERT_TRUE(halftone_stretch(target.data(), 1, 1, 4, source.data(), 2, 2, 8, 3));
  EXPECT_EQ(target[0], 25);    // 101 / 4 = 25.25
  EXPECT_EQ(target[3], 0xCC);  // padding untouched
  // 1 x 3 column to 1 x 2: rows weigh 2/3, 1/3 and 1/3, 2/3.
  Pixels column = {0, 0, 0, 0, 90, 90, 90, 0, 255, 255, 255, 0};
  Pixels out(8, 0);
  ASSERT_TRUE(halftone_stretch(out.data(), 1, 2, 4, column.data(), 1, 3, 4, 3));
  EXPECT_EQ(out[0], 30);
  EXPECT_EQ(out[4], 200);
}

TEST(HalftoneStretch, four_channels_average_alpha_too) {
  Pixels source = {0, 0, 0, 0, 255, 255, 255, 255};
  Pixels target(4, 0);
  ASSERT_TRUE(halftone_stretch(target.data(), 1, 1, 4, source.data(), 2, 1, 8, 4));
  EXPECT_EQ(target, (Pixels{128, 128, 128, 128}));
}

TEST(HalftoneStretch, large_shrink_keeps_exact_average) {
  // 1000 x 1 of value 200 except one pixel of 0: 199800 / 1000 = 199.8 -> 200
  std::vector<int> values(1000, 200);
  values[500] = 0;
  EXPECT_EQ(stretch_row(values, 1), (std::vector<int>{200}));
  values.assign(1000, 0);
  for (int i = 0; i < 3; ++i) values[i] = 255;  // 765 / 1000 -> 1
  EXPECT_EQ(stretch_row(values, 1), (std::vector<int>{1}));
}

TEST(HalftoneStretch, refuses_bad_sizes_and_channel_counts) {
  Pixels px(16, 0);
  EXPECT_FALSE(halftone_stretch(px.data(), 0, 1, 4, px.data(), 1, 1, 4, 3));
  EXPECT_FALSE(halftone_stretch(px.data(), 1, 1, 4, px.data(), 1, -1, 4, 3));
  EXPECT_FALSE(halftone_stretch(px.data(), 1, 1, 4, px.data(), 1, 1, 4, 2));
}

}  // namespace
