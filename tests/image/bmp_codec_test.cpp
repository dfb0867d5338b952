// BMP header checks against hostile data, and the BMP writer's bytes.
#include "image/bmp_codec.h"

#include <gtest/gtest.h>

#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/bmp_builder.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

Bytes small_24() {
  return make_bmp(2, 2, 24, Bytes(16, 0x40));
}

bool parses(const Bytes& b) {
  BmpLayout layout{};
  return bmp_parse(b.data(), static_cast<std::uint32_t>(b.size()), &layout);
}

TEST(BmpParse, accepts_plain_bottom_up_top_down_and_palette_files) {
  BmpLayout layout{};
  Bytes b = small_24();
  ASSERT_TRUE(bmp_parse(b.data(), static_cast<std::uint32_t>(b.size()), &layout));
  EXPECT_EQ(layout.width, 2);
  EXPECT_EQ(layout.height, 2);
  EXPECT_FALSE(layout.top_down);
  EXPECT_EQ(layout.pixel_offset, 54u);
  Bytes top_down = make_bmp(2, -2, 24, Bytes(16, 0));
  ASSERT_TRUE(bmp_parse(top_down.data(), static_cast<std::uint32_t>(top_down.size()), &layout));
  EXPECT_TRUE(layout.top_down);
  EXPECT_EQ(layout.height, 2);
  Bytes palette(256 * 4, 0);
  Bytes eight = make_bmp(3, 1, 8, Bytes(4, 1), palette);
  ASSERT_TRUE(bmp_parse(eight.data(), static_cast<std::uint32_t>(eight.size()), &layout));
  EXPECT_EQ(layout.info_size, 40u + 1024u);
}

TEST(BmpParse, rejects_short_and_truncated_files) {
  Bytes b = small_24();
  EXPECT_FALSE(parses(Bytes(b.begin(), b.begin() + 53)));
  EXPECT_FALSE(parses(Bytes(b.begin(), b.end() - 1)));  // last pixel row cut
  EXPECT_FALSE(parses(Bytes{'B', 'M'}));
  EXPECT_FALSE(bmp_parse(nullptr, 100, nullptr));
}

TEST(BmpParse, rejects_offset_past_end_and_offset_into_the_headers) {
  Bytes b = small_24();
  put32(b, 10, static_cast<std::uint32_t>(b.size()) + 1);
  EXPECT_FALSE(parses(b));
  put32(b, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(parses(b));
  put32(b, 10, 20);
  EXPECT_FALSE(parses(b));
}

TEST(BmpParse, rejects_header_size_beyond_data) {
  Bytes b = small_24();
  put32(b, 14, 0x7FFFFFFF);
  EXPECT_FALSE(parses(b));
  put32(b, 14, 12);  // OS/2 core header
  EXPECT_FALSE(parses(b));
}

TEST(BmpParse, rejects_zero_negative_and_oversized_dimensions) {
  for (std::int32_t width : {0, -2, 32768, 100000}) {
    Bytes b = small_24();
    put32(b, 18, static_cast<std::uint32_t>(width));
    EXPECT_FALSE(parses(b)) << width;
  }
  for (std::int64_t height : {0LL, 32768LL, -32768LL, -2147483648LL}) {
    Bytes b = small_24();
    put32(b, 22, static_cast<std::uint32_t>(height));
    EXPECT_FALSE(parses(b)) << height;
  }
}

TEST(BmpParse, rejects_unknown_bit_counts_compression_and_palettes) {
  for (int bits : {0, 2, 7, 48, 64}) {
    Bytes b = small_24();
    put16(b, 28, static_cast<std::uint32_t>(bits));
    EXPECT_FALSE(parses(b)) << bits;
  }
  for (std::uint32_t compression :
       {1u, 2u, 4u, 5u, 3u}) {  // RLE8, RLE4, JPEG, PNG; bitfields at 24
    Bytes b = small_24();
    put32(b, 30, compression);
    EXPECT_FALSE(parses(b)) << compression;
  }
  Bytes planes = small_24();
  put16(planes, 26, 2);
  EXPECT_FALSE(parses(planes));
  Bytes too_many = make_bmp(3, 1, 4, Bytes(4, 0), Bytes(16 * 4, 0));
  put32(too_many, 46, 17);
  EXPECT_FALSE(parses(too_many));
  Bytes missing_palette = make_bmp(3, 1, 8, Bytes(4, 0));  // 256 entries implied, none there
  EXPECT_FALSE(parses(missing_palette));
}

TEST(BmpParse, bitfields_need_their_masks_inside_the_data) {
  Bytes rows(8, 0);
  Bytes b = make_bmp(2, 1, 32, rows, Bytes(12, 0), 3);
  put32(b, 46, 0);  // the 12 bytes are masks, not a palette
  EXPECT_TRUE(parses(b));
  Bytes cut(b.begin(), b.begin() + 60);
  EXPECT_FALSE(parses(cut));
  Bytes short_header = b;  // a 44-byte header would end inside the masks
  put32(short_header, 14, 44);
  EXPECT_FALSE(parses(short_header));
}

class BmpWriteTest : public RuntimeTest {
 protected:
  ScratchDir dir;
  Bytes read(const std::string& name) {
    std::vector<std::uint8_t> contents;
    file_read_whole(name.c_str(), contents);
    return contents;
  }
};

TEST_F(BmpWriteTest, depth_24_from_a_24_bit_store_writes_the_store_unchanged) {
  // 3 x 2, pitch 12 (9 bytes and 3 of padding)
  Bytes store = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
  std::string name = dir.file("a.bmp");
  ASSERT_EQ(bmp_write(name.c_str(), store.data(), 3, 2, 12, 24, ROWS_BOTTOM_UP, 7, 24), 1);
  Bytes file = read(name);
  ASSERT_EQ(file.size(), 54u + 24u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(get32(file, 2), 78u);
  EXPECT_EQ(get32(file, 6), 0u);
  EXPECT_EQ(get32(file, 10), 54u);
  EXPECT_EQ(get32(file, 14), 40u);
  EXPECT_EQ(get32(file, 18), 3u);
  EXPECT_EQ(get32(file, 22), 2u);
  EXPECT_EQ(get16(file, 26), 1);
  EXPECT_EQ(get16(file, 28), 24);
  EXPECT_EQ(get32(file, 30), 0u);
  EXPECT_EQ(get32(file, 34), 24u);
  for (int i = 38; i < 54; ++i) EXPECT_EQ(file[i], 0) << i;
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()), store);
  BmpLayout layout{};
  EXPECT_TRUE(bmp_parse(file.data(), static_cast<std::uint32_t>(file.size()), &layout));
}

TEST_F(BmpWriteTest, depth_32_from_24_bits_gains_a_zero_fourth_byte) {
  Bytes store = {1, 2, 3, 4, 5, 6, 0, 0};
  std::string name = dir.file("b.bmp");
  ASSERT_EQ(bmp_write(name.c_str(), store.data(), 2, 1, 8, 24, ROWS_BOTTOM_UP, 7, 32), 1);
  Bytes file = read(name);
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()), (Bytes{1, 2, 3, 0, 4, 5, 6, 0}));
  EXPECT_EQ(get16(file, 28), 32);
}

TEST_F(BmpWriteTest, depth_24_from_32_bits_flattens_onto_white) {
  Bytes store = {0, 0, 0, 0, 0, 0, 0, 255, 100, 100, 100, 128};
  std::string name = dir.file("c.bmp");
  ASSERT_EQ(bmp_write(name.c_str(), store.data(), 3, 1, 12, 32, ROWS_BOTTOM_UP, 7, 24), 1);
  Bytes file = read(name);
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()),
            (Bytes{255, 255, 255, 0, 0, 0, 177, 177, 177, 0, 0, 0}));
}

TEST_F(BmpWriteTest, depth_32_from_32_bits_keeps_alpha) {
  Bytes store = {1, 2, 3, 4, 5, 6, 7, 8};
  std::string name = dir.file("d.bmp");
  ASSERT_EQ(bmp_write(name.c_str(), store.data(), 2, 1, 8, 32, ROWS_BOTTOM_UP, 7, 32), 1);
  Bytes file = read(name);
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()), store);
}

TEST_F(BmpWriteTest, top_down_rows_are_written_bottom_row_first) {
  Bytes store = {1, 1, 1, 0, 2, 2, 2, 0};  // 1 x 2, memory row 0 is the top
  std::string name = dir.file("e.bmp");
  ASSERT_EQ(bmp_write(name.c_str(), store.data(), 1, 2, 4, 24, 0, 7, 24), 1);
  Bytes file = read(name);
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()), (Bytes{2, 2, 2, 0, 1, 1, 1, 0}));
}

TEST_F(BmpWriteTest, unsupported_depth_creates_no_file) {
  Bytes store(8, 0);
  for (int depth : {16, 2, 0, 33}) {
    std::string name = dir.file("f" + std::to_string(depth) + ".bmp");
    EXPECT_EQ(bmp_write(name.c_str(), store.data(), 2, 1, 8, 24, ROWS_BOTTOM_UP, 7, depth), 0);
    EXPECT_FALSE(file_exists(name.c_str())) << depth;
  }
}

TEST_F(BmpWriteTest, unwritable_path_fails_cleanly) {
  Bytes store(8, 0);
  EXPECT_EQ(bmp_write(dir.file("missing/x.bmp").c_str(), store.data(), 2, 1, 8, 24, ROWS_BOTTOM_UP,
                      7, 24),
            0);
  EXPECT_EQ(bmp_write("", store.data(), 2, 1, 8, 24, ROWS_BOTTOM_UP, 7, 24), 0);
}

TEST(BmpAlpha, all_zero_alpha_becomes_opaque_and_any_alpha_is_kept) {
  Bytes pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  bmp_make_opaque_if_no_alpha(pixels.data(), 2, 1, 8);
  EXPECT_EQ(pixels, (Bytes{1, 2, 3, 255, 4, 5, 6, 255}));
  Bytes some = {1, 2, 3, 0, 4, 5, 6, 9};
  bmp_make_opaque_if_no_alpha(some.data(), 2, 1, 8);
  EXPECT_EQ(some, (Bytes{1, 2, 3, 0, 4, 5, 6, 9}));
}

}  // namespace

namespace {

TEST_F(BmpWriteTest, depth_one_writes_black_and_white_palette_and_packed_rows) {
  // 3 x 2, bottom row white, black, white; top row black, black, white
  Bytes store = {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0,
                 0,   0,   0,   0, 0, 0, 255, 255, 255, 0, 0, 0};
  std::string name = dir.file("one.bmp");
  ASSERT_EQ(bmp_write(name.c_str(), store.data(), 3, 2, 12, 24, ROWS_BOTTOM_UP, 7, 1), 1);
  Bytes file = read(name);
  ASSERT_EQ(file.size(), 54u + 8u + 2 * 4u);
  EXPECT_EQ(get32(file, 10), 62u);
  EXPECT_EQ(get16(file, 28), 1);
  EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 62), (Bytes{0, 0, 0, 0, 255, 255, 255, 0}));
  EXPECT_EQ(file[62] & 0xE0, 0xA0);  // bottom row first: 1 0 1
  EXPECT_EQ(file[66] & 0xE0, 0x20);  // 0 0 1
}

TEST_F(BmpWriteTest, palette_depths_write_their_palette_size_and_padded_rows) {
  Bytes store(5 * 3 * 3 + 3, 0);  // 5 x 3 at 24 bits, pitch 16
  for (std::size_t i = 0; i < store.size(); ++i) store[i] = static_cast<std::uint8_t>(i * 13);
  for (int depth : {4, 8}) {
    std::string name = dir.file("p" + std::to_string(depth) + ".bmp");
    ASSERT_EQ(bmp_write(name.c_str(), store.data(), 5, 3, 16, 24, ROWS_BOTTOM_UP, 7, depth), 1);
    Bytes file = read(name);
    const std::uint32_t entries = 1u << depth, row = depth == 4 ? 4 : 8;
    EXPECT_EQ(get32(file, 10), 54 + 4 * entries);
    EXPECT_EQ(file.size(), 54 + 4 * entries + 3 * row);
    for (std::uint32_t e = 0; e < entries; ++e) EXPECT_EQ(file[54 + 4 * e + 3], 0);
  }
}

}  // namespace
