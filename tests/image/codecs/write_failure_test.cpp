// Writers that fail in the middle of a file leave no file behind. The host
// build can make writes fail for real: a file-size limit turns every write
// past it into an error.
#include <gtest/gtest.h>

#include "image/bmp_codec.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/codec_fixture.h"
#include "support/file_size_limit.h"
#include "support/scratch_dir.h"

namespace {

using WriteFailureTest = CodecTest;

TEST_F(WriteFailureTest, every_writer_deletes_its_partial_file) {
  ScratchDir dir;
  const int w = 300, h = 200;
  const std::int64_t pitch = image_row_pitch(w, 24);
  std::vector<std::uint8_t> store(static_cast<std::size_t>(pitch * h));
  for (std::size_t i = 0; i < store.size(); ++i)
    store[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  const std::string jpeg = dir.file("a.jpg"), png = dir.file("a.png"), bmp = dir.file("a.bmp");
  {
    FileSizeLimit limit(4096);
    EXPECT_EQ(jpeg_codec_encode(jpeg.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 10, 24),
              0);
    EXPECT_EQ(png_codec_encode(png.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 7, 24), 0);
    EXPECT_EQ(bmp_write(bmp.c_str(), store.data(), w, h, pitch, 24, ROWS_BOTTOM_UP, 7, 24), 0);
    EXPECT_EQ(bmp_write(bmp.c_str(), store.data(), w, h, pitch, 24, ROWS_BOTTOM_UP, 7, 8), 0);
  }
  for (const std::string& name : {jpeg, png, bmp}) EXPECT_FALSE(file_exists(name.c_str())) << name;
  EXPECT_EQ(jpeg_codec_encode(jpeg.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 10, 24), 1);
  EXPECT_TRUE(file_exists(jpeg.c_str()));
}

}  // namespace
