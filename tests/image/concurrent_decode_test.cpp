// Decodes on two threads at once: each decode has its own context, so a
// JPEG and a PNG decoded side by side come out as they do alone.
#include "image/codec_registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The picture's encoded bytes, written by `encode` from a patterned store.
template <typename Encode>
Bytes encoded_picture(const ScratchDir& dir, const char* name, int w, int h, Encode encode) {
  const std::int64_t pitch = image_row_pitch(w, 24);
  Bytes store(static_cast<std::size_t>(pitch * h));
  for (std::size_t i = 0; i < store.size(); ++i) store[i] = static_cast<std::uint8_t>(i * 7 / 5);
  const std::string file = dir.file(name);
  Bytes bytes;
  if (encode(file.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 9, 24, nullptr))
    file_read_whole(file.c_str(), bytes);
  return bytes;
}

// The decoded pixels, or nothing when the decode failed.
Bytes decoded_pixels(const Bytes& picture) {
  DecodedPicture decoded = decode_chain(picture.data(), static_cast<std::uint32_t>(picture.size()));
  PixelStoreInfo info{};
  if (!decoded.store || !pixel_store_info(decoded.store, &info)) return {};
  Bytes pixels(info.bits, info.bits + info.pitch * info.height);
  pixel_store_delete(decoded.store);
  return pixels;
}

using ConcurrentDecodeTest = CodecTest;

TEST_F(ConcurrentDecodeTest, two_threads_decode_different_pictures_at_once) {
  ScratchDir dir;
  const Bytes jpeg = encoded_picture(dir, "a.jpg", 96, 64, jpeg_codec_encode);
  const Bytes png = encoded_picture(dir, "b.png", 80, 72, png_codec_encode);
  ASSERT_FALSE(jpeg.empty());
  ASSERT_FALSE(png.empty());
  const Bytes jpeg_alone = decoded_pixels(jpeg), png_alone = decoded_pixels(png);
  ASSERT_FALSE(jpeg_alone.empty());
  ASSERT_FALSE(png_alone.empty());

  constexpr int kRounds = 60;
  std::atomic<int> ready{0};
  std::atomic<int> wrong{0};
  auto decode_often = [&](const Bytes& picture, const Bytes& expected) {
    ++ready;
    while (ready.load() < 2) std::this_thread::yield();  // start together
    for (int i = 0; i < kRounds; ++i)
      if (decoded_pixels(picture) != expected) ++wrong;
  };
  std::thread jpeg_thread(decode_often, std::cref(jpeg), std::cref(jpeg_alone));
  std::thread png_thread(decode_often, std::cref(png), std::cref(png_alone));
  jpeg_thread.join();
  png_thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
