// The Mitchell-Netravali resampler against values worked out by hand.
//
// With B = C = 1/3 the kernel is k(t) = (7/6 t - 2) t^2 + 8/9 for t < 1 and
// ((-7/18 t + 2) t - 10/3) t + 16/9 for 1 <= t < 2. In 1152nds:
//   k(0.25) = 901, k(0.75) = 295, k(1.25) = -27, k(1.75) = -17, k(2) = 0,
// and k(0) = 8/9, k(1) = 1/18, k(1/3) = 115/162.
#include "image/smooth_resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Pixels = std::vector<std::uint8_t>;

// A row of grey, opaque pixels.
Pixels grey_row(const std::vector<int>& values) {
  Pixels row;
  for (int v : values)
    row.insert(row.end(), {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), 255});
  return row;
}

std::vector<int> channel(const Pixels& pixels, int c) {
  std::vector<int> out;
  for (std::size_t i = c; i < pixels.size(); i += 4) out.push_back(pixels[i]);
  return out;
}

Pixels horizontal(const Pixels& source, int source_width, int target_width) {
  Pixels target(static_cast<std::size_t>(target_width) * 4, 0xCC);
  resample_horizontal(source.data(), source_width, target.data(), target_width, 1);
  return target;
}

TEST(SmoothResample, one_to_one_keeps_flat_areas_and_spreads_a_peak_by_the_cubic) {
  ContributionTable table = resample_contributions(5, 5);
  EXPECT_EQ(table.taps(), 5);
  EXPECT_EQ(table[2].first, 0);
  EXPECT_EQ(table[2].last, 4);
  EXPECT_NEAR(table[2].weights[2], 8.0 / 9.0, 1e-12);
  EXPECT_NEAR(table[2].weights[1], 1.0 / 18.0, 1e-12);
  EXPECT_NEAR(table[2].weights[0], 0.0, 1e-12);
  // Interior: 180 * 8/9 = 160 and 180 / 18 = 10; at the edge the weights
  // 8/9 and 1/18 are renormalised over 17/18, but the peak is two away.
  Pixels out = horizontal(grey_row({0, 0, 180, 0, 0}), 5, 5);
  EXPECT_EQ(channel(out, 0), (std::vector<int>{0, 10, 160, 10, 0}));
  EXPECT_EQ(channel(out, 3), (std::vector<int>{255, 255, 255, 255, 255}));
  Pixels flat = horizontal(grey_row({77, 77, 77, 77}), 4, 4);
  EXPECT_EQ(channel(flat, 1), (std::vector<int>{77, 77, 77, 77}));
}

TEST(SmoothResample, single_pixel_upscales_to_its_own_value_everywhere) {
  Pixels source = {12, 34, 56, 200};
  Pixels out = horizontal(source, 1, 7);
  for (int x = 0; x < 7; ++x) {
    EXPECT_EQ(out[x * 4 + 0], 12);
    EXPECT_EQ(out[x * 4 + 1], 34);
    EXPECT_EQ(out[x * 4 + 2], 56);
    EXPECT_EQ(out[x * 4 + 3], 200);
  }
  ContributionTable table = resample_contributions(7, 1);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(table[i].first, 0);
    EXPECT_EQ(table[i].last, 0);
    EXPECT_DOUBLE_EQ(table[i].weights[0], 1.0);
  }
}

TEST(SmoothResample, halving_widens_support_to_four_with_nine_taps) {
  ContributionTable table = resample_contributions(4, 8);
  EXPECT_EQ(table.taps(), 9);
  // centres 0.5, 2.5, 4.5, 6.5; support 4
  EXPECT_EQ(table[0].first, 0);
  EXPECT_EQ(table[0].last, 5);
  EXPECT_EQ(table[1].first, 0);
  EXPECT_EQ(table[1].last, 7);
  EXPECT_EQ(table[3].first, 2);
  EXPECT_EQ(table[3].last, 7);
  // Output 0 weighs sources 0..5 at scaled distances 0.25 0.25 0.75 1.25
  // 1.75 2.25: 901 901 295 -27 -17 0 (sum 2053).
  EXPECT_NEAR(table[0].weights[0], 901.0 / 2053.0, 1e-12);
  EXPECT_NEAR(table[0].weights[3], -27.0 / 2053.0, 1e-12);
  // out0 = 74210 / 2053 = 36.15; out1 = 252930 / 2321 = 108.97;
  // out2 = 450390 / 2321 = 194.05; out3 = 307430 / 2053 = 149.75
  Pixels out = horizontal(grey_row({10, 50, 90, 130, 170, 210, 250, 30}), 8, 4);
  EXPECT_EQ(channel(out, 2), (std::vector<int>{36, 109, 194, 150}));
}

TEST(SmoothResample, three_to_one_weighs_k_of_a_third_k_zero_k_of_a_third) {
  ContributionTable table = resample_contributions(1, 3);
  EXPECT_EQ(table.taps(), 13);
  EXPECT_EQ(table[0].first, 0);
  EXPECT_EQ(table[0].last, 2);
  EXPECT_NEAR(table[0].weights[0], 115.0 / 374.0, 1e-12);
  EXPECT_NEAR(table[0].weights[1], 144.0 / 374.0, 1e-12);
  // (115 * 30 + 144 * 60 + 115 * 200) / 374 = 93.82; 144 * 255 / 374 = 98.18
  EXPECT_EQ(channel(horizontal(grey_row({30, 60, 200}), 3, 1), 0), (std::vector<int>{94}));
  EXPECT_EQ(channel(horizontal(grey_row({0, 255, 0}), 3, 1), 0), (std::vector<int>{98}));
}

TEST(SmoothResample, negative_lobes_clamp_to_0_and_255) {
  // 4 -> 8: centres i/2 - 0.25. Output 2 is -27 * 255 / 1169 = -5.9 -> 0;
  // output 5 is 1196 * 255 / 1169 = 260.9 -> 255; output 3 is
  // 278 * 255 / 1152 = 61.5 -> 62; output 4 is 874 * 255 / 1152 = 193.5 -> 193.
  Pixels out = horizontal(grey_row({0, 0, 255, 255}), 4, 8);
  EXPECT_EQ(channel(out, 0), (std::vector<int>{0, 0, 0, 62, 193, 255, 255, 255}));
}

TEST(SmoothResample, vertical_pass_matches_the_horizontal_rule_column_by_column) {
  // Two columns, 8 rows each, halved: each column behaves like the row case.
  std::vector<int> a = {10, 50, 90, 130, 170, 210, 250, 30};
  Pixels source;
  for (int v : a) {
    source.insert(source.end(), {std::uint8_t(v), 0, 0, 255});
    source.insert(source.end(), {std::uint8_t(255 - v), 0, 0, 255});
  }
  Pixels target(2 * 4 * 4, 0xCC);
  resample_vertical(source.data(), 2, 8, target.data(), 2, 4);
  std::vector<int> left, right;
  for (int y = 0; y < 4; ++y) {
    left.push_back(target[y * 8]);
    right.push_back(target[y * 8 + 4]);
  }
  EXPECT_EQ(left, (std::vector<int>{36, 109, 194, 150}));
  EXPECT_EQ(right, (std::vector<int>{255 - 36, 255 - 109, 255 - 194, 255 - 150}));
}

TEST(SmoothResample, transparent_pixels_bleed_white_and_stay_transparent) {
  // 3 -> 1: colour (115 * 40 + 144 * 255 + 115 * 40) / 374 = 122.8 -> 123
  // since the transparent middle counts as white; alpha 115 * 510 / 374 = 156.8 -> 157.
  Pixels source = {40, 40, 40, 255, 0, 0, 0, 0, 40, 40, 40, 255};
  Pixels target(4, 0);
  ASSERT_TRUE(smooth_resample_pixels(target.data(), 1, 1, source.data(), 3, 1));
  EXPECT_EQ(target, (Pixels{123, 123, 123, 157}));
  EXPECT_EQ(source[4], 255);  // whitened in place
  Pixels clear = {5, 6, 7, 0, 8, 9, 10, 0, 11, 12, 13, 0, 1, 2, 3, 0};
  Pixels out(4 * 4, 0);
  ASSERT_TRUE(smooth_resample_pixels(out.data(), 2, 2, clear.data(), 4, 1));
  for (int p = 0; p < 4; ++p)
    EXPECT_EQ((Pixels{out.begin() + p * 4, out.begin() + p * 4 + 4}), (Pixels{255, 255, 255, 0}));
}

// The pass order decides where the intermediate rounding happens; picking
// the smaller intermediate must show in the bytes.
TEST(SmoothResample, two_dimensional_resample_runs_the_cheaper_pass_first) {
  const int sw = 5, sh = 3, tw = 2, th = 7;  // tw*sh = 6 < th*sw = 35: horizontal first
  Pixels source(sw * sh * 4);
  for (std::size_t i = 0; i < source.size(); ++i)
    source[i] = (i % 4 == 3) ? 255 : static_cast<std::uint8_t>((i * 97 + i / 7 * 31) % 256);
  Pixels h_first(tw * sh * 4), expected(tw * th * 4), v_first(sw * th * 4), other(tw * th * 4);
  resample_horizontal(source.data(), sw, h_first.data(), tw, sh);
  resample_vertical(h_first.data(), tw, sh, expected.data(), tw, th);
  resample_vertical(source.data(), sw, sh, v_first.data(), sw, th);
  resample_horizontal(v_first.data(), sw, other.data(), tw, th);
  ASSERT_NE(expected, other) << "input does not tell the orders apart";
  Pixels target(tw * th * 4);
  Pixels copy = source;
  ASSERT_TRUE(smooth_resample_pixels(target.data(), tw, th, copy.data(), sw, sh));
  EXPECT_EQ(target, expected);
  // The transposed problem takes the vertical pass first.
  Pixels target2(th * tw * 4), vert(sh * tw * 4), expected2(th * tw * 4);
  Pixels source2(sh * sw * 4, 255);
  for (std::size_t i = 0; i < source2.size(); ++i)
    if (i % 4 != 3) source2[i] = static_cast<std::uint8_t>((i * 53 + 11) % 256);
  // sh x sw source -> th x tw target: th*sw = 35 > tw*sh = 6
  resample_vertical(source2.data(), sh, sw, vert.data(), sh, tw);
  resample_horizontal(vert.data(), sh, expected2.data(), th, tw);
  Pixels copy2 = source2;
  ASSERT_TRUE(smooth_resample_pixels(target2.data(), th, tw, copy2.data(), sh, sw));
  EXPECT_EQ(target2, expected2);
}

TEST(SmoothResample, refuses_empty_sizes) {
  Pixels px(4, 1);
  EXPECT_FALSE(smooth_resample_pixels(px.data(), 0, 1, px.data(), 1, 1));
  EXPECT_FALSE(smooth_resample_pixels(px.data(), 1, 1, px.data(), 1, 0));
  EXPECT_FALSE(smooth_resample_pixels(nullptr, 1, 1, px.data(), 1, 1));
}

}  // namespace

namespace {

// The rule in its plainest form, pixel by pixel and column by column, to hold
// the optimised passes to the same bytes.
Pixels plain_pass(const Pixels& source, int in_length, int out_length, int lines, bool vertical) {
  ContributionTable table = resample_contributions(out_length, in_length);
  Pixels target(static_cast<std::size_t>(out_length) * lines * 4);
  for (int line = 0; line < lines; ++line)
    for (int i = 0; i < out_length; ++i)
      for (int ch = 0; ch < 4; ++ch) {
        double acc = 0.0;
        for (int j = table[i].first; j <= table[i].last; ++j) {
          std::size_t at = vertical ? (static_cast<std::size_t>(j) * lines + line) * 4 + ch
                                    : (static_cast<std::size_t>(line) * in_length + j) * 4 + ch;
          acc += static_cast<double>(source[at]) * table[i].weights[j - table[i].first];
        }
        double v = std::trunc(acc + 0.5);
        std::size_t out = vertical ? (static_cast<std::size_t>(i) * lines + line) * 4 + ch
                                   : (static_cast<std::size_t>(line) * out_length + i) * 4 + ch;
        target[out] = v < 0 ? 0 : v >= 255 ? 255 : static_cast<std::uint8_t>(v);
      }
  return target;
}

TEST(SmoothResample, optimised_passes_give_the_plain_rule_byte_for_byte) {
  std::uint32_t seed = 2024;
  auto random_pixels = [&](std::size_t n) {
    Pixels p(n * 4);
    for (auto& b : p) {
      seed = seed * 1664525u + 1013904223u;
      b = static_cast<std::uint8_t>(seed >> 24);
    }
    return p;
  };
  const int sizes[][2] = {{37, 11}, {11, 37}, {100, 3}, {5, 64}, {64, 64}, {9, 7}, {250, 83}};
  for (const auto& size : sizes) {
    const int in = size[0], out = size[1], lines = 6;
    Pixels rows = random_pixels(static_cast<std::size_t>(in) * lines);
    Pixels horizontal_out(static_cast<std::size_t>(out) * lines * 4);
    resample_horizontal(rows.data(), in, horizontal_out.data(), out, lines);
    EXPECT_EQ(horizontal_out, plain_pass(rows, in, out, lines, false)) << in << " -> " << out;
    Pixels vertical_out(static_cast<std::size_t>(out) * lines * 4);
    resample_vertical(rows.data(), lines, in, vertical_out.data(), lines, out);
    EXPECT_EQ(vertical_out, plain_pass(rows, in, out, lines, true)) << in << " -> " << out;
  }
}

}  // namespace
