// Colour reduction: the fixed depth-1 palette, the network's palettes and
// indices, and its sampling rules, against answers worked out by hand.
#include "image/colour_reduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/heap.h"
#include "runtime/heap_testing.h"
#include "support/runtime_fixture.h"

namespace {

using Pixels = std::vector<std::uint8_t>;
using ColourReduceTest = RuntimeTest;

struct Reduced {
  ColourReduction* r;
  ~Reduced() { colour_reduce_free(r); }
};

TEST_F(ColourReduceTest, depth_one_splits_at_luminance_160_and_packs_high_bits_first) {
  // white, mid grey (128), pure green (182.4), pure red (54.2), then six whites
  Pixels row = {255, 255, 255, 128, 128, 128, 0, 255, 0, 0, 0, 255};
  for (int i = 0; i < 6; ++i) row.insert(row.end(), {255, 255, 255});
  row.resize(32, 0);  // pitch 32 for 10 pixels of 3 bytes
  Reduced reduced{colour_reduce(row.data(), 10, 1, 24, 32, 1)};
  ASSERT_NE(reduced.r, nullptr);
  EXPECT_EQ(reduced.r->network, nullptr);
  const std::uint8_t black_white[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  EXPECT_EQ(std::memcmp(reduced.r->palette, black_white, 8), 0);
  const std::uint8_t* indices = colour_reduce_row(reduced.r, 0);
  EXPECT_EQ(indices[0], 0xAF);  // 1 0 1 0 1 1 1 1
  EXPECT_EQ(indices[1] & 0xC0, 0xC0);
  EXPECT_EQ(colour_reduce_row_bytes(10, 1), 2);
}

TEST_F(ColourReduceTest, sample_factor_steps_every_262144_pixels_and_caps_at_ten) {
  EXPECT_EQ(colour_sample_factor(1), 1);
  EXPECT_EQ(colour_sample_factor(262143), 1);
  EXPECT_EQ(colour_sample_factor(262144), 2);
  EXPECT_EQ(colour_sample_factor(8 * 262144), 9);
  EXPECT_EQ(colour_sample_factor(9 * 262144 - 1), 9);
  EXPECT_EQ(colour_sample_factor(9 * 262144), 10);
  EXPECT_EQ(colour_sample_factor(400LL * 262144), 10);
}

TEST_F(ColourReduceTest, depth_four_gives_sixteen_entries_and_every_index_below_sixteen) {
  const int w = 61, h = 37;
  Pixels pixels(static_cast<std::size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &pixels[(y * w + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 4);
      p[1] = static_cast<std::uint8_t>(y * 7);
      p[2] = static_cast<std::uint8_t>((x * y) % 256);
      p[3] = 255;
    }
  Reduced reduced{colour_reduce(pixels.data(), w, h, 32, w * 4, 4)};
  ASSERT_NE(reduced.r, nullptr);
  EXPECT_EQ(reduced.r->pixels, pixels.data());  // 32-bit sources are used in place
  EXPECT_EQ(reduced.r->network->size, 16u);
  std::vector<int> greens;
  for (int i = 0; i < 16; ++i) greens.push_back(reduced.r->network->colour_map[i][1]);
  EXPECT_TRUE(std::is_sorted(greens.begin(), greens.end()));
  std::vector<int> used(16, 0);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = colour_reduce_row(reduced.r, y);
    for (int x = 0; x < w; ++x) {
      int index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
      ASSERT_LT(index, 16);
      ++used[index];
    }
  }
  EXPECT_GT(std::count_if(used.begin(), used.end(), [](int n) { return n > 0; }), 8);
}

TEST_F(ColourReduceTest, fully_transparent_pixel_maps_to_the_entry_with_alpha_nearest_zero) {
  // Mostly opaque colours, a few transparent pixels; depth 3 (8 entries).
  const int w = 40, h = 10;
  Pixels pixels(static_cast<std::size_t>(w) * h * 4);
  for (int i = 0; i < w * h; ++i) {
    std::uint8_t* p = &pixels[i * 4];
    p[0] = static_cast<std::uint8_t>(i * 37);
    p[1] = static_cast<std::uint8_t>(i * 11);
    p[2] = static_cast<std::uint8_t>(i * 5);
    p[3] = i % 9 == 0 ? 0 : 255;
  }
  Reduced reduced{colour_reduce(pixels.data(), w, h, 32, w * 4, 3)};
  ASSERT_NE(reduced.r, nullptr);
  const ColourNetwork* n = reduced.r->network;
  int nearest = 0;
  for (int i = 1; i < 8; ++i)
    if (n->colour_map[i][3] < n->colour_map[nearest][3]) nearest = i;
  EXPECT_EQ(network_search(n, 0, 200, 10, 90), nearest);
  EXPECT_EQ(network_search(n, 0, 0, 250, 0), nearest);
  const std::uint8_t* row = colour_reduce_row(reduced.r, 0);
  EXPECT_EQ(row[0], nearest);  // pixel 0 is transparent; depth 3 packs one index a byte
}

TEST_F(ColourReduceTest, a_single_pixel_trains_its_own_colour_exactly) {
  // One red sample (rate 1.0) moves neuron 0 onto it; the palette then has
  // blue 0, green 0, red 255, alpha 255 and the pixel maps to it.
  Pixels red = {0, 0, 255};
  red.resize(4);
  Reduced reduced{colour_reduce(red.data(), 1, 1, 24, 4, 2)};
  ASSERT_NE(reduced.r, nullptr);
  int index = colour_reduce_row(reduced.r, 0)[0] >> 6;
  const std::uint8_t* entry = reduced.r->palette[index];
  EXPECT_EQ(entry[0], 0);
  EXPECT_EQ(entry[1], 0);
  EXPECT_EQ(entry[2], 255);
  EXPECT_EQ(entry[3], 255);
}

// Fewer than 100 samples: rate and radius shrink after every sample. Red
// then blue: the red sample pulls neuron 0 onto red and its neighbours most
// of the way; the blue sample is then won by neuron 1 and moves it by the
// reduced rate 1024 * 29/30 (to blue 246.5, palette 240), its neighbours by
// 0.9629 and 0.9591 (palette blue 239, 239, 237). Without the reduction
// the winner would land on blue 255 exactly.
TEST_F(ColourReduceTest, tiny_picture_updates_rate_and_radius_after_every_sample) {
  Pixels two = {0, 0, 255, 255, 255, 0, 0, 255};
  Reduced reduced{colour_reduce(two.data(), 2, 1, 32, 8, 2)};
  ASSERT_NE(reduced.r, nullptr);
  std::vector<int> blues;
  for (int i = 0; i < 4; ++i) {
    blues.push_back(reduced.r->palette[i][0]);
    EXPECT_EQ(reduced.r->palette[i][1], 0) << i;
    EXPECT_EQ(reduced.r->palette[i][2], 0) << i;
    EXPECT_EQ(reduced.r->palette[i][3], 255) << i;
  }
  std::sort(blues.begin(), blues.end());
  EXPECT_EQ(blues, (std::vector<int>{237, 239, 239, 240}));
}

TEST_F(ColourReduceTest, rows_of_32_bits_are_read_at_their_pitch) {
  const int w = 37, h = 29;
  const std::int64_t padded_pitch = w * 4 + 12;
  Pixels packed(static_cast<std::size_t>(w) * h * 4);
  Pixels padded(static_cast<std::size_t>(padded_pitch * h), 0xA5);  // junk between the rows
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) {
        const auto v = static_cast<std::uint8_t>(c == 3 ? 255 : (x * 9 + y * 5) * (c + 1));
        packed[(y * w + x) * 4 + c] = v;
        padded[y * padded_pitch + x * 4 + c] = v;
      }
  Reduced expected{colour_reduce(packed.data(), w, h, 32, w * 4, 4)};
  Reduced reduced{colour_reduce(padded.data(), w, h, 32, padded_pitch, 4)};
  ASSERT_NE(expected.r, nullptr);
  ASSERT_NE(reduced.r, nullptr);
  EXPECT_EQ(std::memcmp(reduced.r->palette, expected.r->palette, sizeof expected.r->palette), 0);
  const int row_bytes = colour_reduce_row_bytes(w, 4);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* want = colour_reduce_row(expected.r, y);
    const std::uint8_t* got = colour_reduce_row(reduced.r, y);
    ASSERT_EQ(Pixels(got, got + row_bytes), Pixels(want, want + row_bytes)) << "row " << y;
  }
}

TEST_F(ColourReduceTest, refuses_what_is_no_picture) {
  Pixels px(16, 0);
  EXPECT_EQ(colour_reduce(px.data(), 0, 1, 24, 4, 4), nullptr);
  EXPECT_EQ(colour_reduce(px.data(), 1, 1, 16, 4, 4), nullptr);
  EXPECT_EQ(colour_reduce(px.data(), 1, 1, 24, 4, 9), nullptr);
  EXPECT_EQ(colour_reduce(nullptr, 1, 1, 24, 4, 4), nullptr);
  heap_fail_next_allocations(1);
  EXPECT_EQ(colour_reduce(px.data(), 2, 2, 32, 8, 4), nullptr);
}

}  // namespace
