// The decoder chain and encoder dispatch, with two small codecs of the
// test's own: "TSTA" data (a header and raw 24-bit rows) and "TSTB", which
// accepts anything but fails to decode.
#include "image/codec_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

constexpr std::uint32_t CODEC_TSTA = 0x41545354;
constexpr std::uint32_t CODEC_TSTB = 0x42545354;

std::string calls;

// "TSTA" w h depth, then rows top first, tightly packed.
int tsta_check(ImageDecodeContext* c) {
  calls += "checkA ";
  for (std::uint8_t byte : c->decoder_private) EXPECT_EQ(byte, 0);
  c->decoder_private[0] = 0xAA;
  if (c->size < 7 || std::memcmp(c->data, "TSTA", 4) != 0) return 0;
  c->width = c->data[4];
  c->height = c->data[5];
  c->depth = c->data[6];
  c->source_depth = 8;
  return 1;
}

int tsta_decode(ImageDecodeContext* c, std::uint8_t* pixels, std::int64_t pitch, int flags) {
  calls += "decodeA ";
  EXPECT_EQ(flags, ROWS_BOTTOM_UP);
  EXPECT_EQ(pitch, image_row_pitch(c->width, c->depth));
  const int bytes = c->depth / 8;
  if (c->size < 7u + static_cast<std::uint32_t>(c->width * c->height * bytes)) return 0;
  for (int y = 0; y < c->height; ++y)
    std::memcpy(pixels + (c->height - 1 - y) * pitch, c->data + 7 + y * c->width * bytes,
                static_cast<std::size_t>(c->width * bytes));
  return 1;
}

void tsta_release(ImageDecodeContext*) {
  calls += "releaseA ";
}

int tstb_check(ImageDecodeContext* c) {
  calls += "checkB ";
  for (std::uint8_t byte : c->decoder_private) EXPECT_EQ(byte, 0);
  c->width = c->height = 2;
  c->depth = 24;
  return std::memcmp(c->data, "TSTB", 4) == 0;
}
int tstb_decode(ImageDecodeContext*, std::uint8_t*, std::int64_t, int) {
  calls += "decodeB ";
  return 0;
}
void tstb_release(ImageDecodeContext*) {
  calls += "releaseB ";
}

const ImageDecoder decoder_a{tsta_check, tsta_decode, tsta_release, CODEC_TSTA};
const ImageDecoder decoder_b{tstb_check, tstb_decode, tstb_release, CODEC_TSTB};

struct EncodeCall {
  std::vector<std::uint8_t> pixels;
  int width, height;
  std::int64_t pitch;
  int flags, quality, depth;
  bool alpha;
};
std::vector<EncodeCall> encoded;

int record_encode(bool alpha, const std::uint8_t* pixels, int width, int height, std::int64_t pitch,
                  int flags, int quality, int depth) {
  encoded.push_back(EncodeCall{std::vector<std::uint8_t>(pixels, pixels + pitch * height), width,
                               height, pitch, flags, quality, depth, alpha});
  return 1;
}
int encode_plain(const char*, const std::uint8_t* p, int w, int h, std::int64_t pitch, int f, int q,
                 int d, const PictureTraits*) {
  return record_encode(false, p, w, h, pitch, f, q, d);
}
int encode_alpha(const char*, const std::uint8_t* p, int w, int h, std::int64_t pitch, int f, int q,
                 int d, const PictureTraits*) {
  return record_encode(true, p, w, h, pitch, f, q, d);
}

const ImageEncoder encoder_a{CODEC_TSTA, encode_plain, nullptr};
const ImageEncoder encoder_b{CODEC_TSTB, encode_plain, encode_alpha};

class CodecRegistryTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    decoder_init();
    calls.clear();
    encoded.clear();
  }
  void register_all() {
    ASSERT_TRUE(codec_register_decoder(&decoder_a));
    ASSERT_TRUE(codec_register_decoder(&decoder_b));
  }
  DecodedPicture decode(const std::vector<std::uint8_t>& data) {
    return decode_chain(data.data(), static_cast<std::uint32_t>(data.size()));
  }
  static std::vector<std::uint8_t> tsta(int w, int h, int depth, std::vector<std::uint8_t> rows) {
    std::vector<std::uint8_t> d = {
        'T', 'S', 'T', 'A', std::uint8_t(w), std::uint8_t(h), std::uint8_t(depth)};
    d.insert(d.end(), rows.begin(), rows.end());
    return d;
  }
};

TEST_F(CodecRegistryTest, first_accepting_decoder_fills_a_bottom_up_store) {
  register_all();
  DecodedPicture picture = decode(tsta(1, 2, 24, {1, 2, 3, 4, 5, 6}));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.codec_id, CODEC_TSTA);
  EXPECT_EQ(picture.source_depth, 8);
  EXPECT_EQ(calls, "checkA decodeA releaseA ");
  PixelStoreInfo info{};
  ASSERT_TRUE(pixel_store_info(picture.store, &info));
  EXPECT_EQ(info.width, 1);
  EXPECT_EQ(info.height, 2);
  EXPECT_EQ(info.depth, 24);
  EXPECT_EQ(info.bits[0], 4);  // bottom row first
  EXPECT_EQ(info.bits[info.pitch], 1);
  pixel_store_delete(picture.store);
}

TEST_F(CodecRegistryTest, later_decoders_get_a_zeroed_private_area_and_failures_delete_the_store) {
  register_all();
  DecodedPicture picture = decode({'T', 'S', 'T', 'B', 0, 0, 0});
  EXPECT_EQ(picture.store, nullptr);
  EXPECT_EQ(calls, "checkA checkB decodeB releaseB ");
}

TEST_F(CodecRegistryTest, data_nobody_accepts_fails_without_release) {
  register_all();
  EXPECT_EQ(decode({'n', 'o', 'n', 'e', 0, 0, 0}).store, nullptr);
  EXPECT_EQ(calls, "checkA checkB ");
  EXPECT_EQ(decode_chain(nullptr, 10).store, nullptr);
}

TEST_F(CodecRegistryTest, implausible_sizes_from_a_decoder_are_refused_but_released) {
  register_all();
  EXPECT_EQ(decode(tsta(0, 2, 24, {})).store, nullptr);
  EXPECT_EQ(decode(tsta(2, 2, 16, std::vector<std::uint8_t>(8, 0))).store, nullptr);
  EXPECT_EQ(calls, "checkA releaseA checkA releaseA ");
}

TEST_F(CodecRegistryTest, tables_hold_thirty_codecs_of_each_kind) {
  for (int i = 0; i < CODEC_TABLE_SIZE; ++i) EXPECT_TRUE(codec_register_decoder(&decoder_b));
  EXPECT_FALSE(codec_register_decoder(&decoder_a));
  decoder_init();
  EXPECT_TRUE(codec_register_decoder(&decoder_a));
}

class EncodeDispatchTest : public CodecRegistryTest {
 protected:
  static void SetUpTestSuite() {
    codec_register_encoder(&encoder_a);
    codec_register_encoder(&encoder_b);
  }
};

TEST_F(EncodeDispatchTest, store_of_32_bits_without_alpha_encoder_is_flattened_onto_white) {
  // 2 x 1: transparent black becomes white, opaque black stays black
  std::vector<std::uint8_t> store = {0, 0, 0, 0, 0, 0, 0, 255};
  ASSERT_EQ(encode_dispatch("x", store.data(), CODEC_TSTA, 2, 1, 8, 32, ROWS_BOTTOM_UP, 9, 24), 1);
  ASSERT_EQ(encoded.size(), 1u);
  EXPECT_FALSE(encoded[0].alpha);
  EXPECT_EQ(encoded[0].pitch, 8);  // (2 * 3 + 3) rounded down to a multiple of 4
  EXPECT_EQ(std::vector<std::uint8_t>(encoded[0].pixels.begin(), encoded[0].pixels.begin() + 6),
            (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0}));
  EXPECT_EQ(encoded[0].quality, 9);
  EXPECT_EQ(encoded[0].flags, ROWS_BOTTOM_UP);
}

TEST_F(EncodeDispatchTest, alpha_encoder_gets_the_store_itself_and_24_bits_go_to_encode) {
  std::vector<std::uint8_t> store = {1, 2, 3, 4};
  ASSERT_EQ(encode_dispatch("x", store.data(), CODEC_TSTB, 1, 1, 4, 32, ROWS_BOTTOM_UP, 5, 32), 1);
  ASSERT_EQ(encode_dispatch("x", store.data(), CODEC_TSTB, 1, 1, 4, 24, ROWS_BOTTOM_UP, 5, 24), 1);
  ASSERT_EQ(encoded.size(), 2u);
  EXPECT_TRUE(encoded[0].alpha);
  EXPECT_EQ(encoded[0].pixels, store);
  EXPECT_FALSE(encoded[1].alpha);
}

TEST_F(EncodeDispatchTest, unknown_codec_or_store_depth_saves_nothing) {
  std::vector<std::uint8_t> store(16, 0);
  EXPECT_EQ(encode_dispatch("x", store.data(), 0x12345678, 1, 1, 4, 24, ROWS_BOTTOM_UP, 5, 24), 0);
  EXPECT_EQ(encode_dispatch("x", store.data(), CODEC_TSTA, 1, 1, 4, 16, ROWS_BOTTOM_UP, 5, 24), 0);
  EXPECT_TRUE(encoded.empty());
}

TEST_F(EncodeDispatchTest, bmp_goes_to_the_built_in_writer) {
  ScratchDir dir;
  std::string name = dir.file("out.bmp");
  std::vector<std::uint8_t> store = {9, 8, 7, 0};
  ASSERT_EQ(
      encode_dispatch(name.c_str(), store.data(), CODEC_BMP, 1, 1, 4, 24, ROWS_BOTTOM_UP, 7, 24),
      1);
  std::vector<std::uint8_t> file;
  ASSERT_TRUE(file_read_whole(name.c_str(), file));
  EXPECT_EQ(file.size(), 58u);
  EXPECT_TRUE(encoded.empty());
}

}  // namespace
