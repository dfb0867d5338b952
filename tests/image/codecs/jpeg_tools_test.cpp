// The JPEG decoder against libjpeg-turbo's own command-line tools: files made
// by cjpeg decode to exactly what djpeg makes of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/file_io.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class JpegToolsTest : public CodecTest {
 protected:
  ScratchDir dir;
  void run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
  Bytes read(const std::string& name) {
    Bytes contents;
    file_read_whole(name.c_str(), contents);
    return contents;
  }
  // Pixel bytes of a binary PPM or PGM (after its three header fields).
  static Bytes netpbm_pixels(const Bytes& file) {
    int fields = 0;
    std::size_t i = 0;
    while (fields < 4 && i < file.size()) {
      while (i < file.size() && std::isspace(file[i])) ++i;
      while (i < file.size() && !std::isspace(file[i])) ++i;
      ++fields;
    }
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(i + 1), file.end());
  }
};

// Baseline, and progressive in cjpeg's own script of ten scans (the passes
// over the coefficients that photos make stay within the decode's limit).
TEST_F(JpegToolsTest, cjpeg_file_decodes_exactly_as_djpeg_decodes_it) {
  const int w = 37, h = 23;
  std::ofstream ppm(dir.file("in.ppm"), std::ios::binary);
  ppm << "P6\n" << w << " " << h << "\n255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ppm.put(char(x * 7)).put(char(y * 11)).put(char((x + y) * 3));
  ppm.close();
  for (const std::string options : {"", " -progressive"}) {
    SCOPED_TRACE(options);
    run("cjpeg -quality 90" + options + " " + dir.file("in.ppm") + " > " + dir.file("in.jpg"));
    run("djpeg -ppm " + dir.file("in.jpg") + " > " + dir.file("out.ppm"));
    Bytes rgb = netpbm_pixels(read(dir.file("out.ppm")));
    ASSERT_EQ(rgb.size(), static_cast<std::size_t>(w * h * 3));
    DecodedPicture picture = decode(read(dir.file("in.jpg")));
    ASSERT_NE(picture.store, nullptr);
    EXPECT_EQ(info(picture).width, w);
    EXPECT_EQ(info(picture).height, h);
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::vector<int> bgr = pixel(picture, x, y);
        const std::uint8_t* expected = &rgb[(y * w + x) * 3];
        if (bgr[0] != expected[2] || bgr[1] != expected[1] || bgr[2] != expected[0]) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST_F(JpegToolsTest, cjpeg_greyscale_file_decodes_to_the_grey_djpeg_gives) {
  std::ofstream pgm(dir.file("in.pgm"), std::ios::binary);
  pgm << "P5\n8 8\n255\n";
  for (int i = 0; i < 64; ++i) pgm.put(char(i * 4));
  pgm.close();
  run("cjpeg -grayscale " + dir.file("in.pgm") + " > " + dir.file("grey.jpg"));
  run("djpeg -pnm " + dir.file("grey.jpg") + " > " + dir.file("grey.pgm"));
  Bytes grey = netpbm_pixels(read(dir.file("grey.pgm")));
  ASSERT_EQ(grey.size(), 64u);
  DecodedPicture picture = decode(read(dir.file("grey.jpg")));
  ASSERT_NE(picture.store, nullptr);
  EXPECT_EQ(picture.source_depth, 24);
  for (int i = 0; i < 64; ++i) {
    std::vector<int> bgr = pixel(picture, i % 8, i / 8);
    EXPECT_EQ(bgr[0], bgr[1]);
    EXPECT_EQ(bgr[1], bgr[2]);
    EXPECT_NEAR(bgr[0], grey[i], 1) << i;
  }
}

}  // namespace
