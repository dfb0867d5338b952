// The JPEG codec: round trips, greyscale, CMYK and YCCK, quality, hostile data.
#include "image/codecs/jpeg_codec.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/codec_fixture.h"
#include "support/hostile_pictures.h"
#include "support/scratch_dir.h"

extern "C" {
#include <jpeglib.h>
}

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 24-bit bottom-up store of one colour (blue, green, red).
Bytes solid_store(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  const std::int64_t pitch = image_row_pitch(w, 24);
  Bytes store(static_cast<std::size_t>(pitch * h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      store[y * pitch + x * 3] = b;
      store[y * pitch + x * 3 + 1] = g;
      store[y * pitch + x * 3 + 2] = r;
    }
  return store;
}

struct JumpErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};
[[noreturn]] void jump_out(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JumpErrors*>(info->err)->jump, 1);
}

// Compresses 8 x 8 pixels of one ink set with the library directly.
bool compress_inks(jpeg_compress_struct* c, J_COLOR_SPACE file_space, const JSAMPLE inks[4],
                   unsigned char** out, unsigned long* size) {
  JumpErrors* errors = reinterpret_cast<JumpErrors*>(c->err);
  if (setjmp(errors->jump)) return false;
  jpeg_create_compress(c);
  jpeg_mem_dest(c, out, size);
  c->image_width = c->image_height = 8;
  c->input_components = 4;
  c->in_color_space = JCS_CMYK;
  jpeg_set_defaults(c);
  jpeg_set_colorspace(c, file_space);
  jpeg_set_quality(c, 100, TRUE);
  jpeg_start_compress(c, TRUE);
  JSAMPLE row[8 * 4];
  for (int x = 0; x < 8; ++x)
    for (int k = 0; k < 4; ++k) row[x * 4 + k] = inks[k];
  JSAMPROW rows[1] = {row};
  for (int y = 0; y < 8; ++y) jpeg_write_scanlines(c, rows, 1);
  jpeg_finish_compress(c);
  return true;
}

Bytes ink_jpeg(J_COLOR_SPACE file_space, const JSAMPLE inks[4]) {
  jpeg_compress_struct c{};
  JumpErrors errors{};
  jpeg_std_error(&errors.manager);
  errors.manager.error_exit = jump_out;
  c.err = &errors.manager;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  Bytes data;
  if (compress_inks(&c, file_space, inks, &out, &size)) data.assign(out, out + size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return data;
}

class JpegCodecTest : public CodecTest {
 protected:
  ScratchDir dir;
  Bytes encode(const Bytes& store, int w, int h, int quality, std::string name = "out.jpg") {
    std::string path = dir.file(name);
    EXPECT_EQ(encode_dispatch(path.c_str(), store.data(), CODEC_JPEG, w, h, image_row_pitch(w, 24),
                              24, ROWS_BOTTOM_UP, quality, 24),
              1);
    Bytes contents;
    file_read_whole(path.c_str(), contents);
    return contents;
  }
  static void expect_near(const std::vector<int>& got, const std::vector<int>& want,
                          int slack = 3) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_NEAR(got[i], want[i], slack) << "channel " << i;
  }
};

TEST_F(JpegCodecTest, own_file_decodes_with_its_size_and_channel_order) {
  Bytes red = solid_store(17, 9, 0, 0, 255);
  Bytes file = encode(red, 17, 9, 10);
  ASSERT_GT(file.size(), 100u);
  EXPECT_EQ(file[0], 0xFF);
  EXPECT_EQ(file[1], 0xD8);
  DecodedPicture picture = decode(file);
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.codec_id, CODEC_JPEG);
  EXPECT_EQ(picture.source_depth, 24);
  EXPECT_EQ(info(picture).width, 17);
  EXPECT_EQ(info(picture).height, 9);
  EXPECT_EQ(info(picture).depth, 24);
  expect_near(pixel(picture, 0, 0), {0, 0, 254});
  expect_near(pixel(picture, 16, 8), {0, 0, 254});
}

// A caller that scales down asks for less: the smallest of 1/8, 1/4, 1/2
// and the whole that still covers what it needs, the colours kept, and a
// spare store of that shape decoded into.
TEST_F(JpegCodecTest, a_picture_to_be_scaled_down_is_decoded_only_as_large_as_needed) {
  EXPECT_EQ(jpeg_scale_denominator(6000, 4000, {1024, 683}), 4);  // 1500 x 1000
  EXPECT_EQ(jpeg_scale_denominator(6000, 4000, {751, 1}), 4);     // 1/8 gives 750
  EXPECT_EQ(jpeg_scale_denominator(6000, 4000, {750, 500}), 8);
  EXPECT_EQ(jpeg_scale_denominator(4001, 10, {1, 2}), 8);  // 501 x 2: sides round up
  EXPECT_EQ(jpeg_scale_denominator(1000, 100, {3000, 300}), 1);
  EXPECT_EQ(jpeg_scale_denominator(640, 480, {0, 0}), 8);

  const Bytes file = encode(solid_store(640, 480, 0, 0, 255), 640, 480, 9);
  DecodeSize asked{0, 0};
  DecodeRequest request{[](void* seen, int width, int height, int) {
                          *static_cast<DecodeSize*>(seen) = {width, height};
                          return DecodeSize{300, 100};
                        },
                        &asked};
  SpareStores spares{{pixel_store_create(320, 240, 24), nullptr}};
  const PixelStore spare = spares.stores[0];
  DecodedPicture picture =
      decode_chain(file.data(), static_cast<std::uint32_t>(file.size()), request, &spares);
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(asked.width, 640);
  EXPECT_EQ(asked.height, 480);
  EXPECT_EQ(info(picture).width, 320);
  EXPECT_EQ(info(picture).height, 240);
  EXPECT_EQ(picture.store, spare);
  expect_near(pixel(picture, 100, 100), {0, 0, 254});
  pixel_store_delete(picture.store);
  picture_traits_free(picture.traits);
  spare_stores_clear(spares);
}

TEST_F(JpegCodecTest, rows_keep_their_order_top_to_bottom) {
  // Top half blue, bottom half yellow, in a bottom-up store.
  Bytes store = solid_store(16, 16, 255, 0, 0);
  const std::int64_t pitch = image_row_pitch(16, 24);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      store[y * pitch + x * 3] = 0;
      store[y * pitch + x * 3 + 1] = 255;
      store[y * pitch + x * 3 + 2] = 255;
    }
  DecodedPicture picture = decode(encode(store, 16, 16, 10));
  ASSERT_NE(picture.store, nullptr);
  expect_near(pixel(picture, 3, 1), {254, 0, 0}, 6);
  expect_near(pixel(picture, 3, 14), {0, 255, 255}, 6);
}

TEST_F(JpegCodecTest, greyscale_file_decodes_to_equal_blue_green_red) {
  jpeg_compress_struct c{};
  JumpErrors errors{};
  jpeg_std_error(&errors.manager);
  c.err = &errors.manager;
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = 4;
  c.image_height = 2;
  c.input_components = 1;
  c.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  JSAMPLE row[4] = {90, 90, 90, 90};
  JSAMPROW rows[1] = {row};
  jpeg_write_scanlines(&c, rows, 1);
  jpeg_write_scanlines(&c, rows, 1);
  jpeg_finish_compress(&c);
  Bytes file(out, out + size);
  jpeg_destroy_compress(&c);
  std::free(out);
  DecodedPicture picture = decode(file);
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.source_depth, 24);  // three components once RGB is asked for
  std::vector<int> p = pixel(picture, 2, 1);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
  EXPECT_NEAR(p[0], 90, 2);
}

TEST_F(JpegCodecTest, cmyk_and_ycck_pictures_become_their_rgb_colours) {
  // Adobe-style inverted inks for pure red: no cyan (255), full magenta and
  // yellow (0), no black (255).
  const JSAMPLE red_inks[4] = {255, 0, 0, 255};
  for (J_COLOR_SPACE space : {JCS_CMYK, JCS_YCCK}) {
    Bytes file = ink_jpeg(space, red_inks);
    ASSERT_FALSE(file.empty());
    DecodedPicture picture = decode(file);
    ASSERT_NE(picture.store, nullptr) << space;
    EXPECT_EQ(picture.source_depth, 32);
    EXPECT_EQ(info(picture).depth, 24);
    expect_near(pixel(picture, 4, 4), {0, 0, 255}, 4);
  }
}

TEST_F(JpegCodecTest, quality_is_ten_times_the_clamped_setting) {
  EXPECT_EQ(jpeg_library_quality(-5), 0);
  EXPECT_EQ(jpeg_library_quality(0), 0);
  EXPECT_EQ(jpeg_library_quality(7), 70);
  EXPECT_EQ(jpeg_library_quality(10), 100);
  EXPECT_EQ(jpeg_library_quality(11), 100);
  Bytes store(static_cast<std::size_t>(image_row_pitch(64, 24) * 64));
  for (std::size_t i = 0; i < store.size(); ++i)
    store[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 5));
  std::size_t low = encode(store, 64, 64, 1, "q1.jpg").size();
  std::size_t high = encode(store, 64, 64, 10, "q10.jpg").size();
  std::size_t over = encode(store, 64, 64, 25, "q25.jpg").size();
  EXPECT_LT(low, high);
  EXPECT_EQ(high, over);
  EXPECT_EQ(encode(store, 64, 64, -3, "qneg.jpg"), encode(store, 64, 64, 0, "q0.jpg"));
}

TEST_F(JpegCodecTest, start_marker_with_garbage_fails_and_the_png_decoder_is_tried_next) {
  Bytes garbage = {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
  EXPECT_EQ(decode(garbage).store, nullptr);
  EXPECT_EQ(decode({0xFF, 0xD8}).store, nullptr);
  EXPECT_EQ(decode({0xFF}).store, nullptr);
  Bytes marker_soup(4096, 0xFF);
  marker_soup[1] = 0xD8;
  EXPECT_EQ(decode(marker_soup).store, nullptr);
}

TEST_F(JpegCodecTest, truncated_stream_never_crashes_and_a_cut_photo_shows_its_top_rows) {
  Bytes store(static_cast<std::size_t>(image_row_pitch(40, 24) * 30));
  for (std::size_t i = 0; i < store.size(); ++i) store[i] = static_cast<std::uint8_t>(i * 7 % 251);
  Bytes file = encode(store, 40, 30, 8);
  int decoded = 0;
  for (std::size_t length = 2; length < file.size(); length += 7) {
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    if (decode(cut).store) ++decoded;
  }
  EXPECT_GT(decoded, 0);  // a stream cut inside the picture data still decodes (padded)
  DecodedPicture whole = decode(file);
  DecodedPicture cut = decode(Bytes(file.begin(), file.begin() + file.size() * 2 / 3));
  ASSERT_NE(cut.store, nullptr);
  EXPECT_EQ(pixel(cut, 5, 0), pixel(whole, 5, 0));
}

TEST_F(JpegCodecTest, huge_declared_size_without_its_data_is_refused) {
  Bytes file = encode(solid_store(8, 8, 1, 2, 3), 8, 8, 5);
  // The frame header (FF C0) carries height and width after its length and precision.
  std::size_t sof = 2;
  while (sof + 9 < file.size() && !(file[sof] == 0xFF && file[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, file.size());
  file[sof + 5] = 30000 >> 8;
  file[sof + 6] = 30000 & 0xFF;
  file[sof + 7] = 30000 >> 8;
  file[sof + 8] = 30000 & 0xFF;
  EXPECT_EQ(decode(file).store, nullptr);  // 8 x 8 pixels of data for 30000 x 30000
  // The same width with the data for every block loads.
  hostile::JpegRecipe wide;
  wide.width = 30000;
  wide.height = 16;
  wide.components = 1;
  wide.whole_scan = true;
  DecodedPicture loaded = decode(hostile::make_jpeg(wide));
  ASSERT_NE(loaded.store, nullptr);
  EXPECT_EQ(info(loaded).width, 30000);
  wide.width = 40000;
  EXPECT_EQ(decode(hostile::make_jpeg(wide)).store, nullptr);  // beyond the 16-bit picture model
}

TEST_F(JpegCodecTest, coefficients_beyond_what_the_data_pays_for_are_refused) {
  // A progressive CMYK picture keeps 8 bytes of coefficients per pixel until
  // its last scan: its pixels would fit the budget of 16 bytes of data, its
  // coefficients do not.
  hostile::JpegRecipe inks;
  inks.width = inks.height = 3400;
  inks.components = 4;
  inks.progressive = true;
  EXPECT_EQ(decode(hostile::make_jpeg(inks)).store, nullptr);
  inks.width = inks.height = 1000;
  EXPECT_NE(decode(hostile::make_jpeg(inks)).store, nullptr);
}

TEST_F(JpegCodecTest, more_scans_than_encoders_write_are_refused) {
  hostile::JpegRecipe scans;
  scans.components = 1;
  scans.progressive = true;
  scans.whole_scan = true;
  scans.empty_scans = 5;  // each over every AC coefficient: five passes in all
  EXPECT_NE(decode(hostile::make_jpeg(scans)).store, nullptr);
  scans.empty_scans = 70;
  EXPECT_EQ(decode(hostile::make_jpeg(scans)).store, nullptr);
}

TEST_F(JpegCodecTest, refinement_scans_beyond_what_encoders_write_are_refused) {
  // Each refinement scan visits every coefficient of every block; encoders
  // pass over them about three times in all.
  for (bool arithmetic : {false, true}) {
    SCOPED_TRACE(arithmetic ? "arithmetic" : "Huffman");
    DecodedPicture few = decode(hostile::make_refinement_jpeg(256, 3, arithmetic));
    ASSERT_NE(few.store, nullptr);
    EXPECT_EQ(info(few).width, 256);
    EXPECT_EQ(decode(hostile::make_refinement_jpeg(256, 12, arithmetic)).store, nullptr);
  }
}

TEST_F(JpegCodecTest, unwritable_file_fails_without_leaving_anything) {
  Bytes store = solid_store(4, 4, 1, 2, 3);
  EXPECT_EQ(jpeg_codec_encode(dir.file("missing/x.jpg").c_str(), store.data(), 4, 4, 12,
                              ROWS_BOTTOM_UP, 7, 24),
            0);
  EXPECT_EQ(
      jpeg_codec_encode(dir.path().string().c_str(), store.data(), 4, 4, 12, ROWS_BOTTOM_UP, 7, 24),
      0);
  EXPECT_TRUE(file_exists(dir.path().string().c_str()));
}

}  // namespace
