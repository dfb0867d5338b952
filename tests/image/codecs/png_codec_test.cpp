// The PNG codec: every colour type in, truecolour and palette files out, and
// hostile data.
#include "image/codecs/png_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/codec_fixture.h"
#include "support/hostile_pictures.h"
#include "support/png_maker.h"
#include "support/scratch_dir.h"

#if defined(__SANITIZE_ADDRESS__)
// The AddressSanitizer's count of heap bytes in use.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;
using Px = std::vector<int>;

class PngCodecTest : public CodecTest {
 protected:
  ScratchDir dir;
  static PngRecipe rgb_2x2() {
    PngRecipe recipe;
    recipe.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30}};
    return recipe;
  }
  Bytes read(const std::string& name) {
    Bytes contents;
    file_read_whole(name.c_str(), contents);
    return contents;
  }
};

TEST_F(PngCodecTest, rgb_loads_as_24_bits_in_blue_green_red_bottom_up) {
  DecodedPicture picture = decode(make_png(rgb_2x2()));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.codec_id, CODEC_PNG);
  EXPECT_EQ(picture.source_depth, 24);
  EXPECT_EQ(info(picture).depth, 24);
  EXPECT_EQ(pixel(picture, 0, 0), (Px{0, 0, 255}));  // red, top left
  EXPECT_EQ(pixel(picture, 1, 0), (Px{0, 255, 0}));
  EXPECT_EQ(pixel(picture, 0, 1), (Px{255, 0, 0}));
  EXPECT_EQ(pixel(picture, 1, 1), (Px{30, 20, 10}));
}

TEST_F(PngCodecTest, rgba_keeps_its_alpha_at_32_bits) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_RGBA;
  recipe.rows = {{1, 2, 3, 0, 4, 5, 6, 128}, {7, 8, 9, 255, 10, 11, 12, 1}};
  DecodedPicture picture = decode(make_png(recipe));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.source_depth, 32);
  EXPECT_EQ(info(picture).depth, 32);
  EXPECT_EQ(pixel(picture, 0, 0), (Px{3, 2, 1, 0}));
  EXPECT_EQ(pixel(picture, 1, 1), (Px{12, 11, 10, 1}));
}

TEST_F(PngCodecTest, palette_without_transparency_is_24_bits_with_source_depth_8) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_PALETTE;
  recipe.palette = {{200, 100, 50}, {1, 2, 3}};
  recipe.rows = {{0, 1}, {1, 0}};
  DecodedPicture picture = decode(make_png(recipe));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.source_depth, 8);
  EXPECT_EQ(info(picture).depth, 24);
  EXPECT_EQ(pixel(picture, 0, 0), (Px{50, 100, 200}));
  EXPECT_EQ(pixel(picture, 1, 0), (Px{3, 2, 1}));
}

TEST_F(PngCodecTest, palette_with_transparency_is_32_bits_with_source_depth_32) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_PALETTE;
  recipe.bit_depth = 4;
  recipe.palette = {{200, 100, 50}, {1, 2, 3}};
  recipe.trns_alpha = {0};
  recipe.rows = {{0x01}, {0x10}};  // 4-bit indices: 0 1 / 1 0
  DecodedPicture picture = decode(make_png(recipe));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.source_depth, 32);
  EXPECT_EQ(info(picture).depth, 32);
  EXPECT_EQ(pixel(picture, 0, 0), (Px{50, 100, 200, 0}));
  EXPECT_EQ(pixel(picture, 1, 0), (Px{3, 2, 1, 255}));
}

TEST_F(PngCodecTest, grey_becomes_rgb_and_low_bit_depths_are_expanded) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_GRAY;
  recipe.rows = {{0, 77}, {200, 255}};
  DecodedPicture eight = decode(make_png(recipe));
  ASSERT_NE(eight.store, nullptr);
  EXPECT_EQ(eight.source_depth, 8);
  EXPECT_EQ(info(eight).depth, 24);
  EXPECT_EQ(pixel(eight, 1, 0), (Px{77, 77, 77}));
  recipe.bit_depth = 2;
  recipe.width = 4;
  recipe.rows = {{0x1B}, {0xE4}};  // 0 1 2 3 / 3 2 1 0
  DecodedPicture two = decode(make_png(recipe));
  ASSERT_NE(two.store, nullptr);
  EXPECT_EQ(two.source_depth, 2);
  EXPECT_EQ(pixel(two, 1, 0), (Px{85, 85, 85}));
  EXPECT_EQ(pixel(two, 2, 0), (Px{170, 170, 170}));
  EXPECT_EQ(pixel(two, 0, 1), (Px{255, 255, 255}));
}

TEST_F(PngCodecTest, grey_with_transparency_and_grey_alpha_are_32_bits) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_GRAY;
  recipe.trns_grey = 77;
  recipe.rows = {{0, 77}, {200, 255}};
  DecodedPicture keyed = decode(make_png(recipe));
  ASSERT_NE(keyed.store, nullptr);
  EXPECT_EQ(keyed.source_depth, 32);
  EXPECT_EQ(info(keyed).depth, 32);
  EXPECT_EQ(pixel(keyed, 1, 0), (Px{77, 77, 77, 0}));
  EXPECT_EQ(pixel(keyed, 0, 0), (Px{0, 0, 0, 255}));
  PngRecipe ga;
  ga.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
  ga.rows = {{10, 20, 30, 40}, {50, 60, 70, 80}};
  DecodedPicture alpha = decode(make_png(ga));
  ASSERT_NE(alpha.store, nullptr);
  EXPECT_EQ(alpha.source_depth, 32);
  EXPECT_EQ(pixel(alpha, 1, 1), (Px{70, 70, 70, 80}));
}

TEST_F(PngCodecTest, sixteen_bit_channels_are_stripped_to_their_high_byte) {
  PngRecipe recipe;
  recipe.bit_depth = 16;
  recipe.width = 1;
  recipe.height = 1;
  recipe.rows = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01}};
  DecodedPicture picture = decode(make_png(recipe));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(info(picture).depth, 24);
  EXPECT_EQ(picture.source_depth, 24);
  EXPECT_EQ(pixel(picture, 0, 0), (Px{0xFF, 0xAB, 0x12}));
}

TEST_F(PngCodecTest, interlaced_picture_reads_like_the_plain_one) {
  PngRecipe recipe;
  recipe.width = 13;
  recipe.height = 11;
  recipe.rows.assign(11, std::vector<png_byte>(13 * 3));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 39; ++x) recipe.rows[y][x] = static_cast<png_byte>(x * 7 + y * 19);
  DecodedPicture plain = decode(make_png(recipe));
  recipe.interlaced = true;
  DecodedPicture interlaced = decode(make_png(recipe));
  ASSERT_NE(plain.store, nullptr);
  ASSERT_NE(interlaced.store, nullptr);
  PixelStoreInfo a = info(plain), b = info(interlaced);
  EXPECT_EQ(Bytes(a.bits, a.bits + a.pitch * 11), Bytes(b.bits, b.bits + b.pitch * 11));
}

TEST_F(PngCodecTest, truecolour_save_writes_rgb_rows_top_first) {
  DecodedPicture picture = decode(make_png(rgb_2x2()));
  PixelStoreInfo i = info(picture);
  std::string name = dir.file("rgb.png");
  ASSERT_EQ(
      encode_dispatch(name.c_str(), i.bits, CODEC_PNG, 2, 2, i.pitch, 24, ROWS_BOTTOM_UP, 7, 24),
      1);
  PngRead back = read_png(read(name));
  EXPECT_EQ(back.colour_type, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(back.bit_depth, 8);
  EXPECT_EQ(back.rows, rgb_2x2().rows);
}

TEST_F(PngCodecTest, rgba_store_saves_as_rgba) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_RGBA;
  recipe.rows = {{1, 2, 3, 0, 4, 5, 6, 128}, {7, 8, 9, 255, 10, 11, 12, 1}};
  DecodedPicture picture = decode(make_png(recipe));
  PixelStoreInfo i = info(picture);
  std::string name = dir.file("rgba.png");
  ASSERT_EQ(encode_dispatch(name.c_str(), i.bits, CODEC_PNG, 2, 2, i.pitch, 32, ROWS_BOTTOM_UP, 7,
                            picture.source_depth),
            1);
  PngRead back = read_png(read(name));
  EXPECT_EQ(back.colour_type, PNG_COLOR_TYPE_RGBA);
  EXPECT_EQ(back.rows, recipe.rows);
}

TEST_F(PngCodecTest, palette_depths_go_through_the_colour_reduction) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_GRAY;
  recipe.width = 8;
  recipe.height = 4;
  recipe.rows.assign(4, std::vector<png_byte>(8));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) recipe.rows[y][x] = static_cast<png_byte>(x * 32 + y + 1);
  DecodedPicture grey = decode(make_png(recipe));
  ASSERT_EQ(grey.source_depth, 8);
  PixelStoreInfo i = info(grey);
  for (int depth : {8, 4, 2, 1}) {
    std::string name = dir.file("p" + std::to_string(depth) + ".png");
    ASSERT_EQ(encode_dispatch(name.c_str(), i.bits, CODEC_PNG, 8, 4, i.pitch, 24, ROWS_BOTTOM_UP, 7,
                              depth),
              1)
        << depth;
    PngRead back = read_png(read(name));
    EXPECT_EQ(back.colour_type, PNG_COLOR_TYPE_PALETTE) << depth;
    EXPECT_EQ(back.bit_depth, depth);
    EXPECT_EQ(back.palette_entries, 1 << depth);
    EXPECT_EQ(back.height, 4);
  }
  // Depth 1 is the luminance split: of 1, 33, ... 225 only 161 and above are white.
  PngRead one = read_png(read(dir.file("p1.png")));
  EXPECT_EQ(one.rows[0][0], 0x07);  // 0 0 0 0 0 1 1 1
  // A source palette of black and white alone changes nothing (the nearest
  // entry would make 129 white).
  const PictureTraits scan{1, 0, nullptr, 2, {{255, 255, 255, 255}, {0, 0, 0, 255}}};
  const std::string kept = dir.file("kept.png");
  ASSERT_EQ(encode_dispatch(kept.c_str(), i.bits, CODEC_PNG, 8, 4, i.pitch, 24, ROWS_BOTTOM_UP, 7,
                            1, &scan),
            1);
  EXPECT_EQ(read(kept), read(dir.file("p1.png")));
}

// Saved with its source depth, a grey picture with transparency keeps it.
TEST_F(PngCodecTest, grey_with_transparency_saves_as_rgba_keeping_it) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_GRAY;
  recipe.trns_grey = 0;
  recipe.rows = {{0, 90}, {180, 255}};
  DecodedPicture keyed = decode(make_png(recipe));
  ASSERT_EQ(info(keyed).depth, 32);
  PixelStoreInfo i = info(keyed);
  std::string name = dir.file("keyed.png");
  ASSERT_EQ(encode_dispatch(name.c_str(), i.bits, CODEC_PNG, 2, 2, i.pitch, 32, ROWS_BOTTOM_UP, 7,
                            keyed.source_depth),
            1);
  PngRead back = read_png(read(name));
  EXPECT_EQ(back.colour_type, PNG_COLOR_TYPE_RGBA);
  EXPECT_EQ(back.rows[0], (std::vector<png_byte>{0, 0, 0, 0, 90, 90, 90, 255}));
}

TEST_F(PngCodecTest, invalid_palette_depth_fails_and_leaves_no_file) {
  DecodedPicture picture = decode(make_png(rgb_2x2()));
  PixelStoreInfo i = info(picture);
  for (int depth : {3, 5, 6, 7}) {
    std::string name = dir.file("bad" + std::to_string(depth) + ".png");
    EXPECT_EQ(encode_dispatch(name.c_str(), i.bits, CODEC_PNG, 2, 2, i.pitch, 24, ROWS_BOTTOM_UP, 7,
                              depth),
              0);
    EXPECT_FALSE(file_exists(name.c_str())) << depth;
  }
  EXPECT_EQ(png_codec_encode(dir.file("no/dir.png").c_str(), i.bits, 2, 2, i.pitch, ROWS_BOTTOM_UP,
                             7, 24),
            0);
}

TEST_F(PngCodecTest, truncated_files_fail_cleanly_at_every_length) {
  PngRecipe recipe = rgb_2x2();
  Bytes good = make_png(recipe);
  for (std::size_t length = 0; length < good.size(); ++length) {
    Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
    DecodedPicture picture = decode(cut);
    // The IEND chunk is never read, so only cuts inside it still decode.
    if (length < good.size() - 12) {
      EXPECT_EQ(picture.store, nullptr) << length;
    }
  }
}

TEST_F(PngCodecTest, wrong_signature_and_bad_crc_are_refused) {
  Bytes good = make_png(rgb_2x2());
  Bytes signature = good;
  signature[1] = 'Q';
  EXPECT_EQ(decode(signature).store, nullptr);
  Bytes header_crc = good;
  header_crc[29] ^= 0xFF;  // the IHDR chunk's CRC
  EXPECT_EQ(decode(header_crc).store, nullptr);
  Bytes data_crc = good;
  data_crc[data_crc.size() - 13] ^= 0xFF;  // last byte of the IDAT CRC
  EXPECT_EQ(decode(data_crc).store, nullptr);
}

TEST_F(PngCodecTest, reading_stops_once_the_last_row_is_in) {
  // The stream goes on for 256 MiB after the rows, and the file is cut in
  // the middle of it: reading the rest would fail at the end of the data.
  hostile::PngRecipe recipe;
  recipe.tail = 256u << 20;
  Bytes file = hostile::make_png(recipe);
  file.resize(file.size() / 2);
  DecodedPicture picture = decode(file);
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(info(picture).width, 100);
  EXPECT_EQ(pixel(picture, 99, 99), (Px{0, 0, 0}));
}

#if defined(__SANITIZE_ADDRESS__)
TEST_F(PngCodecTest, compressed_texts_are_skipped_unread) {
  hostile::PngRecipe recipe;
  recipe.text_chunks = 8;
  recipe.text_size = 7990000;  // 64 MB of text from 64 KB of file
  Bytes file = hostile::make_png(recipe);
  ImageDecodeContext context{};
  context.data = file.data();
  context.size = static_cast<std::uint32_t>(file.size());
  context.from_memory = 1;
  const std::size_t before = __sanitizer_get_current_allocated_bytes();
  ASSERT_EQ(png_codec_check(&context), 1);
  const std::size_t held = __sanitizer_get_current_allocated_bytes() - before;
  png_codec_release(&context);
  EXPECT_LT(held, 1u << 20);
}
#endif

TEST_F(PngCodecTest, flat_picture_that_carries_all_its_rows_loads_from_a_small_file) {
  // 8000 x 8000 pixels of one colour: 192 MB of pixels from a few hundred
  // kilobytes of file.
  hostile::PngRecipe flat;
  flat.width = flat.height = 8000;
  Bytes file = hostile::make_png(flat);
  EXPECT_LT(file.size(), 1u << 20);
  DecodedPicture picture = decode(file);
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(info(picture).width, 8000);
  EXPECT_EQ(pixel(picture, 7999, 7999), (Px{0, 0, 0}));
}

TEST_F(PngCodecTest, huge_declared_size_fails_cleanly) {
  PngRecipe recipe;
  recipe.colour_type = PNG_COLOR_TYPE_GRAY;
  recipe.width = recipe.height = 1;
  recipe.rows = {{0}};
  Bytes tiny = make_png(recipe);
  // Rewrite the IHDR to 30000 x 30000 and fix its CRC: the image data then
  // runs out on the first rows.
  auto set32 = [&](std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) tiny[at + k] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
  };
  set32(16, 30000);
  set32(20, 30000);
  set32(29, static_cast<std::uint32_t>(crc32(0, tiny.data() + 12, 17)));
  EXPECT_EQ(decode(tiny).store, nullptr);
  set32(16, 40000);
  set32(29, static_cast<std::uint32_t>(crc32(0, tiny.data() + 12, 17)));
  EXPECT_EQ(decode(tiny).store, nullptr);
  // The same width with every row in the stream loads.
  hostile::PngRecipe wide;
  wide.width = 30000;
  wide.height = 4;
  DecodedPicture loaded = decode(hostile::make_png(wide));
  ASSERT_NE(loaded.store, nullptr);
  EXPECT_EQ(info(loaded).width, 30000);
}

}  // namespace
