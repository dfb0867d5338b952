// Image objects: loading BMP files and icons, hostile data, resizing in its
// three ways, saving and freeing; natively over the host's pixel stores and
// icons, under Wine over GDI's.
#include "image/image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "image/halftone_stretch.h"
#include "image/pixel_store.h"
#include "image/smooth_resample.h"
#include "runtime/file_io.h"
#include "runtime/graphics_probe.h"
#include "support/bmp_builder.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

constexpr object_number IMAGE_WORK = 0;

class ImageObjectTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { image_join_runtime(); }
  ScratchDir dir;

  std::uintptr_t catch_bytes(object_number number, const Bytes& b) {
    return image_catch(number, b.data(), static_cast<std::uint32_t>(b.size()));
  }
  std::string write_file(const std::string& name, const Bytes& b) {
    std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return path;
  }
  PixelStoreInfo pixels(object_number number) {
    PixelStoreInfo info{};
    EXPECT_TRUE(pixel_store_info(image_handle(number), &info));
    return info;
  }
  // Makes a numbered 32-bit image from bottom-up BGRA values.
  void make_32(object_number number, int w, int h, const std::vector<std::uint32_t>& bgra) {
    Bytes rows(bgra.size() * 4);
    for (std::size_t i = 0; i < bgra.size(); ++i) put32(rows, i * 4, bgra[i]);
    ASSERT_NE(catch_bytes(number, make_bmp(w, h, 32, rows)), 0u);
  }
  std::vector<int> blue_row(object_number number, int row = 0) {
    PixelStoreInfo info = pixels(number);
    std::vector<int> out;
    for (int x = 0; x < info.width; ++x)
      out.push_back(info.bits[row * info.pitch + x * info.depth / 8]);
    return out;
  }
};

TEST_F(ImageObjectTest, bmp_file_loads_into_a_bottom_up_store_with_its_description) {
  Bytes rows = rows_24(2, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0x102030});
  std::string path = write_file("a.bmp", make_bmp(2, 2, 24, rows));
  std::uintptr_t handle = image_load(IMAGE_WORK, path.c_str());
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(reinterpret_cast<void*>(handle), image_handle(IMAGE_WORK));
  EXPECT_EQ(image_width(IMAGE_WORK), 2);
  EXPECT_EQ(image_height(IMAGE_WORK), 2);
  EXPECT_EQ(image_depth(IMAGE_WORK), 24);
  EXPECT_EQ(image_source_depth(IMAGE_WORK), 24);
  EXPECT_EQ(image_format(IMAGE_WORK), CODEC_BMP);
  PixelStoreInfo info = pixels(IMAGE_WORK);
  EXPECT_EQ(Bytes(info.bits, info.bits + 16), rows);
}

TEST_F(ImageObjectTest, palette_bmp_becomes_24_bits_and_top_down_lands_upright) {
  Bytes palette = {10, 20, 30, 0, 40, 50, 60, 0};
  Bytes rows = {0x40, 0, 0, 0, 0x80, 0, 0, 0};  // 1-bit, 2 x 2: bottom row 0 1, top row 1 0
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, 2, 1, rows, palette)), 0u);
  EXPECT_EQ(image_depth(IMAGE_WORK), 24);
  EXPECT_EQ(image_source_depth(IMAGE_WORK), 1);
  EXPECT_EQ(blue_row(IMAGE_WORK, 0), (std::vector<int>{10, 40}));
  EXPECT_EQ(blue_row(IMAGE_WORK, 1), (std::vector<int>{40, 10}));
  // The same picture stored top row first.
  Bytes top_down = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, -2, 1, top_down, palette)), 0u);
  EXPECT_EQ(image_height(IMAGE_WORK), 2);
  EXPECT_EQ(blue_row(IMAGE_WORK, 0), (std::vector<int>{10, 40}));
  EXPECT_EQ(blue_row(IMAGE_WORK, 1), (std::vector<int>{40, 10}));
}

TEST_F(ImageObjectTest, sixteen_bit_bitfields_and_four_bit_palette_bmps_load_as_24_bits) {
  // 5-6-5 bitfields: pure red (0xF800) and pure blue (0x001F), masks after the header.
  Bytes masks(12, 0);
  put32(masks, 0, 0xF800);
  put32(masks, 4, 0x07E0);
  put32(masks, 8, 0x001F);
  Bytes rows = {0x00, 0xF8, 0x1F, 0x00};
  Bytes bmp = make_bmp(2, 1, 16, rows, masks, 3);
  put32(bmp, 46, 0);  // the 12 bytes are masks, not colours
  ASSERT_NE(catch_bytes(IMAGE_WORK, bmp), 0u);
  EXPECT_EQ(image_depth(IMAGE_WORK), 24);
  EXPECT_EQ(image_source_depth(IMAGE_WORK), 16);
  PixelStoreInfo info = pixels(IMAGE_WORK);
  EXPECT_LT(info.bits[0], 8);    // red pixel: no blue
  EXPECT_GT(info.bits[2], 247);  // full red
  EXPECT_GT(info.bits[3], 247);  // blue pixel: full blue
  EXPECT_LT(info.bits[5], 8);
  Bytes palette(16 * 4, 0);
  palette[4 * 3 + 1] = 200;         // entry 3: green 200
  Bytes nibbles = {0x30, 0, 0, 0};  // 4-bit: entry 3, entry 0
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, 1, 4, nibbles, palette)), 0u);
  EXPECT_EQ(image_source_depth(IMAGE_WORK), 4);
  info = pixels(IMAGE_WORK);
  EXPECT_EQ(Bytes(info.bits, info.bits + 6), (Bytes{0, 200, 0, 0, 0, 0}));
}

TEST_F(ImageObjectTest, bmp_of_32_bits_without_alpha_is_opaque_and_with_alpha_keeps_it) {
  make_32(IMAGE_WORK, 2, 1, {0x00112233, 0x00445566});
  PixelStoreInfo info = pixels(IMAGE_WORK);
  EXPECT_EQ(info.depth, 32);
  EXPECT_EQ(Bytes(info.bits, info.bits + 8), (Bytes{0x33, 0x22, 0x11, 255, 0x66, 0x55, 0x44, 255}));
  make_32(IMAGE_WORK, 2, 1, {0x00112233, 0x01445566});
  info = pixels(IMAGE_WORK);
  EXPECT_EQ(info.bits[3], 0);
  EXPECT_EQ(info.bits[7], 1);
}

TEST_F(ImageObjectTest, hostile_bmp_data_yields_no_image) {
  Bytes good = make_bmp(2, 2, 24, Bytes(16, 0));
  std::vector<Bytes> hostile;
  Bytes offset = good;
  put32(offset, 10, 0x7FFFFFF0);
  hostile.push_back(offset);
  Bytes width = good;
  put32(width, 18, 0);
  hostile.push_back(width);
  Bytes height = good;
  put32(height, 22, 0x80000000u);
  hostile.push_back(height);
  Bytes huge = good;
  put32(huge, 18, 40000);
  hostile.push_back(huge);
  hostile.push_back(Bytes(good.begin(), good.end() - 4));
  Bytes rle = good;
  put32(rle, 30, 1);
  hostile.push_back(rle);
  hostile.push_back(Bytes{'B', 'M', 0});
  for (const Bytes& b : hostile) {
    ASSERT_NE(catch_bytes(IMAGE_WORK, good), 0u);
    EXPECT_EQ(catch_bytes(IMAGE_WORK, b), 0u);
    EXPECT_EQ(image_handle(IMAGE_WORK), nullptr);  // the old image is gone too
    EXPECT_EQ(image_width(IMAGE_WORK), 0);
  }
  EXPECT_EQ(image_catch(IMAGE_WORK, nullptr), 0u);
  EXPECT_EQ(catch_bytes(ANY_OBJECT, offset), 0u);
}

TEST_F(ImageObjectTest, missing_file_fails_without_touching_the_image) {
  ASSERT_NE(catch_bytes(3, make_bmp(1, 1, 24, Bytes(4, 9))), 0u);
  EXPECT_EQ(image_load(3, dir.file("missing.bmp").c_str()), 0u);
  EXPECT_EQ(image_width(3), 1);
}

TEST_F(ImageObjectTest, icon_data_is_read_as_an_icon_that_cannot_be_resized_or_saved) {
  Bytes icon = make_icon(4, 4, std::vector<std::uint32_t>(16, 0xFF336699));
  ASSERT_NE(catch_bytes(IMAGE_WORK, icon), 0u);
  EXPECT_EQ(image_format(IMAGE_WORK), CODEC_ICON);
  EXPECT_EQ(image_width(IMAGE_WORK), 4);
  EXPECT_EQ(image_height(IMAGE_WORK), 4);
  EXPECT_EQ(image_resize(IMAGE_WORK, 2, 2, RESIZE_SMOOTH), nullptr);
  std::string out = dir.file("icon.bmp");
  EXPECT_EQ(image_save(IMAGE_WORK, out.c_str()), 0);
  EXPECT_FALSE(file_exists(out.c_str()));
  Bytes broken = icon;
  put32(broken, 6 + 12, 0xFFFFFF00u);
  EXPECT_EQ(catch_bytes(IMAGE_WORK, broken), 0u);
}

TEST_F(ImageObjectTest, numbered_and_dynamic_images_and_freeing_them_all) {
  Bytes bmp = make_bmp(3, 1, 24, Bytes(12, 0));
  std::uintptr_t a = catch_bytes(ANY_OBJECT, bmp);
  std::uintptr_t b = catch_bytes(ANY_OBJECT, bmp);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(image_width(static_cast<object_number>(a)), 3);
  ASSERT_NE(catch_bytes(5, bmp), 0u);
  EXPECT_EQ(image_width(4), 0);
  EXPECT_EQ(image_width(1000), 0);
  image_free(ANY_OBJECT);
  EXPECT_EQ(image_width(static_cast<object_number>(a)), 0);
  EXPECT_EQ(image_width(static_cast<object_number>(b)), 0);
  EXPECT_EQ(image_width(5), 0);
}

TEST_F(ImageObjectTest, resize_to_the_current_size_returns_the_same_store_untouched) {
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, 1, 24, Bytes{1, 2, 3, 4, 5, 6, 0, 0})), 0u);
  void* before = image_handle(IMAGE_WORK);
  EXPECT_EQ(image_resize(IMAGE_WORK, IMAGE_SIZE_UNCHANGED, 1, RESIZE_SMOOTH), before);
  EXPECT_EQ(image_resize(IMAGE_WORK, 2, IMAGE_SIZE_UNCHANGED, RESIZE_RAW), before);
  EXPECT_EQ(blue_row(IMAGE_WORK), (std::vector<int>{1, 4}));
}

TEST_F(ImageObjectTest, smooth_resize_of_24_bits_averages_the_covered_pixels) {
  // The 4-pixel row 0, 255, 0, 255 halftoned to 2 pixels is 128, 128.
  Bytes rows = rows_24(4, 1, {0, 0xFFFFFF, 0, 0xFFFFFF});
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(4, 1, 24, rows)), 0u);
  ASSERT_NE(image_resize(IMAGE_WORK, 2, 1, RESIZE_SMOOTH), nullptr);
  EXPECT_EQ(image_width(IMAGE_WORK), 2);
  EXPECT_EQ(image_depth(IMAGE_WORK), 24);
  EXPECT_EQ(blue_row(IMAGE_WORK), (std::vector<int>{128, 128}));
  // and enlarging blends where a target pixel straddles two sources
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, 1, 24, rows_24(2, 1, {0, 0xFFFFFF}))), 0u);
  ASSERT_NE(image_resize(IMAGE_WORK, 3, 1, RESIZE_SMOOTH), nullptr);
  EXPECT_EQ(blue_row(IMAGE_WORK), (std::vector<int>{0, 128, 255}));
}

TEST_F(ImageObjectTest, raw_resize_takes_one_source_pixel_per_target_pixel) {
  Bytes rows = rows_24(4, 1, {0x0A0A0A, 0x141414, 0x1E1E1E, 0x282828});
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(4, 1, 24, rows)), 0u);
  ASSERT_NE(image_resize(IMAGE_WORK, 2, 1, RESIZE_RAW), nullptr);
  for (int v : blue_row(IMAGE_WORK)) EXPECT_TRUE(v == 10 || v == 20 || v == 30 || v == 40) << v;
  make_32(IMAGE_WORK, 4, 1, {0xFF0A0A0A, 0xFF141414, 0xFF1E1E1E, 0xFF282828});
  ASSERT_NE(image_resize(IMAGE_WORK, 2, 1, RESIZE_RAW), nullptr);
  for (int v : blue_row(IMAGE_WORK)) EXPECT_TRUE(v == 10 || v == 20 || v == 30 || v == 40) << v;
}

TEST_F(ImageObjectTest, smooth_resize_of_32_bits_uses_the_resampler_where_alpha_is_drawn) {
  std::vector<std::uint32_t> picture;
  for (int i = 0; i < 6 * 4; ++i) picture.push_back(0x80000000u | (i * 0x0A0B0C) % 0xFFFFFF);
  picture[5] = 0x00000000;  // one fully transparent pixel
  make_32(IMAGE_WORK, 6, 4, picture);
  PixelStoreInfo before = pixels(IMAGE_WORK);
  Bytes source(before.bits, before.bits + before.pitch * before.height);
  Bytes expected(3 * 2 * 4);
  if (graphics_alpha_blend())
    ASSERT_TRUE(smooth_resample_pixels(expected.data(), 3, 2, source.data(), 6, 4));
  else  // a platform that cannot draw alpha treats the picture like any other
    ASSERT_TRUE(halftone_stretch(expected.data(), 3, 2, 12, source.data(), 6, 4, 24, 4));
  ASSERT_NE(image_resize(IMAGE_WORK, 3, 2, RESIZE_SMOOTH), nullptr);
  PixelStoreInfo after = pixels(IMAGE_WORK);
  EXPECT_EQ(after.depth, 32);
  EXPECT_EQ(Bytes(after.bits, after.bits + 24), expected);
}

TEST_F(ImageObjectTest, failed_resize_leaves_the_number_without_an_image) {
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, 1, 24, Bytes(8, 0))), 0u);
  EXPECT_EQ(image_resize(IMAGE_WORK, 0, 5, RESIZE_SMOOTH), nullptr);
  EXPECT_EQ(image_handle(IMAGE_WORK), nullptr);
  EXPECT_EQ(image_width(IMAGE_WORK), 0);
  EXPECT_EQ(image_resize(IMAGE_WORK, 4, 4, RESIZE_SMOOTH), nullptr);
}

TEST_F(ImageObjectTest, saved_bmp_loads_back_identically) {
  Bytes rows = rows_24(3, 2, {1, 2, 3, 4, 5, 6});
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(3, 2, 24, rows)), 0u);
  std::string out = dir.file("round.bmp");
  ASSERT_NE(image_save(IMAGE_WORK, out.c_str()), 0);
  ASSERT_NE(image_load(1, out.c_str()), 0u);
  EXPECT_EQ(Bytes(pixels(1).bits, pixels(1).bits + 24), rows);
  std::string thirty_two = dir.file("round32.bmp");
  ASSERT_NE(image_save(IMAGE_WORK, thirty_two.c_str(), CODEC_BMP, DEFAULT_SAVE_QUALITY, 32), 0);
  std::vector<std::uint8_t> file;
  ASSERT_TRUE(file_read_whole(thirty_two.c_str(), file));
  EXPECT_EQ(file.size(), 54u + 3 * 2 * 4);
}

TEST_F(ImageObjectTest, save_refuses_bad_names_depths_and_codecs_without_leaving_files) {
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(2, 1, 24, Bytes(8, 0))), 0u);
  std::string out = dir.file("x.bmp");
  EXPECT_EQ(image_save(IMAGE_WORK, out.c_str(), CODEC_BMP, 7, 16), 0);
  EXPECT_FALSE(file_exists(out.c_str()));
  EXPECT_EQ(image_save(IMAGE_WORK, out.c_str(), 0x11223344), 0);
  EXPECT_FALSE(file_exists(out.c_str()));
  EXPECT_EQ(image_save(IMAGE_WORK, ""), 0);
  EXPECT_EQ(image_save(IMAGE_WORK, nullptr), 0);
  EXPECT_EQ(image_save(9, out.c_str()), 0);
  EXPECT_EQ(image_save(IMAGE_WORK, dir.file("no/dir/x.bmp").c_str()), 0);
}

}  // namespace

#include "image/codecs/codec_plugins.h"

namespace {

// Image objects with the JPEG and PNG codecs joined, as the program runs them.
class ImageCodecTest : public ImageObjectTest {
 protected:
  static void SetUpTestSuite() {
    image_join_runtime();
    codecs_join_runtime();
  }
};

TEST_F(ImageCodecTest, saving_32_bits_as_jpeg_flattens_onto_white) {
  // left half transparent black, right half opaque black
  std::vector<std::uint32_t> picture(16 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) picture[y * 16 + x] = x < 8 ? 0x00000000u : 0xFF000000u;
  make_32(IMAGE_WORK, 16, 8, picture);
  picture[0] = 0x01000000u;  // one non-zero alpha keeps the BMP's alpha
  make_32(IMAGE_WORK, 16, 8, picture);
  std::string out = dir.file("flat.jpg");
  ASSERT_NE(image_save(IMAGE_WORK, out.c_str(), CODEC_JPEG, 10), 0);
  ASSERT_NE(image_load(2, out.c_str()), 0u);
  EXPECT_EQ(image_format(2), CODEC_JPEG);
  EXPECT_EQ(image_depth(2), 24);
  PixelStoreInfo info = pixels(2);
  EXPECT_GT(info.bits[4 * info.pitch + 2 * 3], 245);  // left: white
  EXPECT_LT(info.bits[4 * info.pitch + 13 * 3], 10);  // right: black
}

TEST_F(ImageCodecTest, png_round_trip_keeps_alpha_and_source_depth) {
  make_32(IMAGE_WORK, 3, 2,
          {0x80102030, 0xFF405060, 0x00000000, 0x01020304, 0xFEFDFCFB, 0x7F7F7F7F});
  std::string out = dir.file("a.png");
  ASSERT_NE(image_save(IMAGE_WORK, out.c_str(), CODEC_PNG), 0);
  ASSERT_NE(image_load(4, out.c_str()), 0u);
  EXPECT_EQ(image_format(4), CODEC_PNG);
  EXPECT_EQ(image_source_depth(4), 32);
  EXPECT_EQ(Bytes(pixels(4).bits, pixels(4).bits + 24),
            Bytes(pixels(IMAGE_WORK).bits, pixels(IMAGE_WORK).bits + 24));
}

TEST_F(ImageCodecTest, bmp_of_eight_bits_saves_as_a_palette_png_by_its_source_depth) {
  Bytes palette(256 * 4, 0);
  for (int i = 0; i < 256; ++i)
    palette[i * 4] = palette[i * 4 + 1] = palette[i * 4 + 2] = static_cast<std::uint8_t>(i);
  Bytes rows(4 * 2);
  for (int i = 0; i < 8; ++i) rows[i] = static_cast<std::uint8_t>(i * 30);
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(4, 2, 8, rows, palette)), 0u);
  EXPECT_EQ(image_source_depth(IMAGE_WORK), 8);
  std::string out = dir.file("p.png");
  ASSERT_NE(image_save(IMAGE_WORK, out.c_str(), CODEC_PNG), 0);
  std::vector<std::uint8_t> file;
  ASSERT_TRUE(file_read_whole(out.c_str(), file));
  EXPECT_EQ(file[24], 8);  // IHDR bit depth
  EXPECT_EQ(file[25], 3);  // colour type: palette
  ASSERT_NE(image_load(5, out.c_str()), 0u);
  EXPECT_EQ(image_depth(5), 24);
  EXPECT_EQ(image_source_depth(5), 8);
}

TEST_F(ImageCodecTest, jpeg_and_png_files_load_through_the_chain_and_junk_does_not) {
  Bytes rows = rows_24(5, 3, std::vector<std::uint32_t>(15, 0x3366CC));
  ASSERT_NE(catch_bytes(IMAGE_WORK, make_bmp(5, 3, 24, rows)), 0u);
  std::string jpg = dir.file("c.jpg"), png = dir.file("c.png");
  ASSERT_NE(image_save(IMAGE_WORK, jpg.c_str(), CODEC_JPEG, 8), 0);
  ASSERT_NE(image_save(IMAGE_WORK, png.c_str(), CODEC_PNG, DEFAULT_SAVE_QUALITY, 24), 0);
  ASSERT_NE(image_load(6, jpg.c_str()), 0u);
  ASSERT_NE(image_load(7, png.c_str()), 0u);
  EXPECT_EQ(image_width(6), 5);
  EXPECT_EQ(image_format(7), CODEC_PNG);
  EXPECT_EQ(Bytes(pixels(7).bits, pixels(7).bits + 16), Bytes(rows.begin(), rows.begin() + 16));
  EXPECT_EQ(catch_bytes(8, Bytes{0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3}), 0u);
  EXPECT_EQ(catch_bytes(8, Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0}), 0u);
}

}  // namespace

namespace {

TEST(ImageLifetime, images_end_with_the_runtime_and_are_not_touched_afterwards) {
  image_join_runtime();
  ASSERT_TRUE(runtime_start());
  ASSERT_NE(image_catch(0, make_bmp(1, 1, 24, Bytes(4, 7)).data(), 58), 0u);
  runtime_stop();
  EXPECT_EQ(image_width(0), 0);
  EXPECT_EQ(image_catch(0, make_bmp(1, 1, 24, Bytes(4, 7)).data(), 58), 0u);
  ASSERT_TRUE(runtime_start());
  EXPECT_EQ(image_width(0), 0);
  runtime_stop();
}

}  // namespace
