// Icon directory selection and its checks against hostile data.
#include "image/icon_reader.h"

#include <gtest/gtest.h>

#include "support/bmp_builder.h"

namespace {

bool selects(const Bytes& b, IconImage* image) {
  return icon_select_image(b.data(), static_cast<std::uint32_t>(b.size()), image);
}

TEST(IconSelect, takes_the_first_entry_with_the_highest_bit_count_of_the_first_size) {
  Bytes icon = make_icon(2, 2, std::vector<std::uint32_t>(4, 0xFF00FF00), 4);
  // entry 1: same size, 8 bits; entry 2: other size, 64 bits; entry 3: same size, 32 bits
  put16(icon, 6 + 16 * 0 + 6, 24);
  put16(icon, 6 + 16 * 1 + 6, 8);
  icon[6 + 16 * 2] = 48;
  put16(icon, 6 + 16 * 2 + 6, 64);
  IconImage image{};
  ASSERT_TRUE(selects(icon, &image));
  EXPECT_EQ(image.bit_count, 32);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_FALSE(image.png);
}

TEST(IconSelect, rejects_wrong_header_words_and_empty_directories) {
  Bytes icon = make_icon(1, 1, {0});
  IconImage image{};
  ASSERT_TRUE(selects(icon, &image));
  Bytes cursor = icon;
  put16(cursor, 2, 2);
  EXPECT_FALSE(selects(cursor, &image));
  Bytes reserved = icon;
  put16(reserved, 0, 1);
  EXPECT_FALSE(selects(reserved, &image));
  Bytes empty = icon;
  put16(empty, 4, 0);
  EXPECT_FALSE(selects(empty, &image));
  Bytes many = icon;
  put16(many, 4, 0xFFFF);  // directory larger than the file
  EXPECT_FALSE(selects(many, &image));
}

TEST(IconSelect, rejects_image_bytes_outside_the_data) {
  Bytes icon = make_icon(2, 2, std::vector<std::uint32_t>(4, 0));
  IconImage image{};
  Bytes past = icon;
  put32(past, 6 + 12, static_cast<std::uint32_t>(icon.size()));
  EXPECT_FALSE(selects(past, &image));
  Bytes long_size = icon;
  put32(long_size, 6 + 8, 0xFFFFFFF0u);
  EXPECT_FALSE(selects(long_size, &image));
  Bytes truncated(icon.begin(), icon.end() - 1);
  EXPECT_FALSE(selects(truncated, &image));
}

TEST(IconSelect, rejects_bitmap_headers_that_promise_more_than_the_image_holds) {
  Bytes icon = make_icon(2, 2, std::vector<std::uint32_t>(4, 0));
  const std::size_t header = 6 + 16;
  IconImage image{};
  Bytes wide = icon;
  put32(wide, header + 4, 4000);
  EXPECT_FALSE(selects(wide, &image));
  Bytes tall = icon;
  put32(tall, header + 8, 0x7FFFFFFF);
  EXPECT_FALSE(selects(tall, &image));
  Bytes flat = icon;
  put32(flat, header + 8, 1);  // half of it is no row at all
  EXPECT_FALSE(selects(flat, &image));
  Bytes bits = icon;
  put16(bits, header + 14, 7);
  EXPECT_FALSE(selects(bits, &image));
  Bytes big_header = icon;
  put32(big_header, header, 0x10000);
  EXPECT_FALSE(selects(big_header, &image));
}

TEST(IconSelect, png_images_are_sized_from_their_header) {
  Bytes icon(6 + 16, 0);
  put16(icon, 2, 1);
  put16(icon, 4, 1);
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
               0,    1,   0,   0,   0,    0,    64,   8,    6, 0, 0, 0,  0,   0,   0,   0};
  put32(icon, 6 + 8, static_cast<std::uint32_t>(png.size()));
  put32(icon, 6 + 12, static_cast<std::uint32_t>(icon.size()));
  icon.insert(icon.end(), png.begin(), png.end());
  IconImage image{};
  ASSERT_TRUE(selects(icon, &image));
  EXPECT_TRUE(image.png);
  EXPECT_EQ(image.width, 256);
  EXPECT_EQ(image.height, 64);
  Bytes huge = icon;
  huge[6 + 16 + 16] = 0x7F;  // width 0x7F000100
  EXPECT_FALSE(selects(huge, &image));
}

}  // namespace
