// Row pitches and flattening onto white.
#include "image/pixel_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(PixelLayout, row_pitch_follows_the_table_for_every_depth) {
  struct Case {
    int width, depth;
    std::int64_t pitch;
  } cases[] = {{1, 1, 4},          {32, 1, 4},  {33, 1, 8},  {1, 4, 4},   {8, 4, 4},  {9, 4, 8},
               {1, 8, 4},          {4, 8, 4},   {5, 8, 8},   {1, 16, 4},  {3, 15, 8}, {1, 24, 4},
               {2, 24, 8},         {3, 24, 12}, {4, 24, 12}, {5, 24, 16}, {1, 32, 4}, {7, 32, 28},
               {32767, 24, 98304}, {3, 2, 0},   {3, 12, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(image_row_pitch(c.width, c.depth), c.pitch) << c.width << "x" << c.depth;
}

TEST(PixelLayout, flattening_blends_onto_white_with_truncation) {
  EXPECT_EQ(flatten_onto_white(0, 0), 255);
  EXPECT_EQ(flatten_onto_white(0, 255), 0);
  EXPECT_EQ(flatten_onto_white(200, 255), 200);
  EXPECT_EQ(flatten_onto_white(255, 17), 255);
  // 100 * 128 / 255 + 127 = 50.196 + 127 -> 177 after truncation
  EXPECT_EQ(flatten_onto_white(100, 128), 177);
  // 0 * 1 + 254 = 254.0 exactly
  EXPECT_EQ(flatten_onto_white(0, 1), 254);
  const std::uint8_t row[8] = {0, 0, 0, 0, 10, 20, 30, 255};
  std::uint8_t out[6];
  flatten_row_onto_white(row, out, 2);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[2], 255);
  EXPECT_EQ(out[3], 10);
  EXPECT_EQ(out[4], 20);
  EXPECT_EQ(out[5], 30);
}

}  // namespace
