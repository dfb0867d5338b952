// Writers that fail leave any earlier file of the name as it was and no
// file of their own behind. The host build can make writes fail for real:
// a file-size limit turns every write past it into an error. Everywhere,
// the libraries refuse some pictures after the file has been started.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "image/bmp_codec.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

#ifndef _WIN32
#include "support/file_size_limit.h"
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes patterned_store(int w, int h) {
  Bytes store(static_cast<std::size_t>(image_row_pitch(w, 24) * h));
  for (std::size_t i = 0; i < store.size(); ++i)
    store[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  return store;
}

std::string contents_of(const std::string& name) {
  Bytes contents;
  file_read_whole(name.c_str(), contents);
  return std::string(contents.begin(), contents.end());
}

class WriteFailureTest : public CodecTest {
 protected:
  ScratchDir dir;
  // Puts an earlier file at each name.
  void write_earlier(const std::vector<std::string>& names) {
    for (const std::string& name : names) std::ofstream(name) << "earlier " << name;
  }
  // Every earlier file is unchanged and nothing else is in the directory.
  void expect_only_earlier(const std::vector<std::string>& names) {
    for (const std::string& name : names) EXPECT_EQ(contents_of(name), "earlier " + name);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              static_cast<std::ptrdiff_t>(names.size()));
  }
};

TEST_F(WriteFailureTest, pictures_the_libraries_refuse_leave_the_earlier_file) {
  const std::string jpeg = dir.file("a.jpg"), png = dir.file("a.png");
  write_earlier({jpeg, png});
  const int too_wide = 65501;  // beyond what JPEG can describe
  const Bytes wide = patterned_store(too_wide, 1);
  EXPECT_EQ(jpeg_codec_encode(jpeg.c_str(), wide.data(), too_wide, 1, image_row_pitch(too_wide, 24),
                              ROWS_BOTTOM_UP, 10, 24),
            0);
  const Bytes small = patterned_store(4, 4);
  EXPECT_EQ(png_codec_encode(png.c_str(), small.data(), 4, 4, image_row_pitch(4, 24),
                             ROWS_BOTTOM_UP, 7, 5),  // no PNG has 5-bit palettes
            0);
  expect_only_earlier({jpeg, png});
}

#ifndef _WIN32
TEST_F(WriteFailureTest, writes_failing_midway_leave_the_earlier_file) {
  const int w = 300, h = 200;
  const std::int64_t pitch = image_row_pitch(w, 24);
  const Bytes store = patterned_store(w, h);
  const std::string jpeg = dir.file("a.jpg"), png = dir.file("a.png"), bmp = dir.file("a.bmp");
  write_earlier({jpeg, png, bmp});
  {
    FileSizeLimit limit(4096);
    EXPECT_EQ(jpeg_codec_encode(jpeg.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 10, 24),
              0);
    EXPECT_EQ(png_codec_encode(png.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 7, 24), 0);
    EXPECT_EQ(bmp_write(bmp.c_str(), store.data(), w, h, pitch, 24, ROWS_BOTTOM_UP, 7, 24), 0);
    EXPECT_EQ(bmp_write(bmp.c_str(), store.data(), w, h, pitch, 24, ROWS_BOTTOM_UP, 7, 8), 0);
  }
  expect_only_earlier({jpeg, png, bmp});
  EXPECT_EQ(jpeg_codec_encode(jpeg.c_str(), store.data(), w, h, pitch, ROWS_BOTTOM_UP, 10, 24), 1);
  EXPECT_NE(contents_of(jpeg), "earlier " + jpeg);
}
#endif

}  // namespace
