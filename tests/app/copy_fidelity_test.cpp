// Against published pictures and ImageMagick: copies made as the job makes
// them (loaded, scaled, saved at their source's depth) keep PngSuite's
// transparency and palette colours and Display P3 profiles byte for byte;
// EXIF orientations turn as -auto-orient turns them; a CMYK JPEG without an
// Adobe marker reads as ImageMagick (and djpeg) read it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "app_pictures.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A Display P3 profile (ICC 4.3: the P3 primaries adapted to D50, the sRGB
// curve sampled at `points` points for each channel); 12000 points make it
// larger than one JPEG marker holds.
Bytes display_p3_profile(int points) {
  auto be = [](Bytes& v, std::int64_t x, int bytes = 4) {
    for (int s = 8 * bytes - 8; s >= 0; s -= 8) v.push_back(std::uint8_t(x >> s));
  };
  static const char desc[] =  // one name, "Display P3" in UTF-16 for en-US
      "mluc\0\0\0\0\0\0\0\1\0\0\0\14enUS\0\0\0\24\0\0\0\34\0D\0i\0s\0p\0l\0a\0y\0 \0P\0003";
  Bytes curve = {'c', 'u', 'r', 'v', 0, 0, 0, 0};
  be(curve, points);
  for (int k = 0; k < points; ++k) {
    const double v = k / double(points - 1);
    be(curve, std::llround(65535 * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4))),
       2);
  }
  std::vector<Bytes> tags = {Bytes(desc, desc + sizeof desc - 1)};
  const double xyz[] = {0.9642, 1,      0.8249, 0.5151, 0.2412, -0.0011,  // white, red,
                        0.292,  0.6922, 0.0419, 0.1571, 0.0666, 0.7841};  // green, blue
  for (int t = 0; t < 4; ++t) {
    tags.push_back({'X', 'Y', 'Z', ' ', 0, 0, 0, 0});
    for (int k = 0; k < 3; ++k) be(tags.back(), std::llround(xyz[3 * t + k] * 65536));
  }
  tags.insert(tags.end(), 3, curve);
  const char* names = "descwtptrXYZgXYZbXYZrTRCgTRCbTRC";
  Bytes p(128), data;  // the header, then the tag table and the tags
  be(p, tags.size());
  for (std::size_t t = 0; t < tags.size(); ++t) {
    p.insert(p.end(), names + 4 * t, names + 4 * t + 4);
    be(p, 128 + 4 + 12 * tags.size() + data.size());
    be(p, tags[t].size());
    data.insert(data.end(), tags[t].begin(), tags[t].end());
    data.resize((data.size() + 3) / 4 * 4);
  }
  p.insert(p.end(), data.begin(), data.end());
  for (int k = 0; k < 4; ++k) p[k] = std::uint8_t(p.size() >> (24 - 8 * k));
  std::memcpy(&p[8], "\4\60\0\0mntrRGB XYZ ", 16);  // version 4.3, a display's RGB
  std::memcpy(&p[36], "acsp", 4);
  std::memcpy(&p[68], "\0\0\xF6\xD6\0\1\0\0\0\0\xD3\x2D", 12);  // the D50 illuminant
  return p;
}

class CopyFidelityTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() {
    image_join_runtime();
    codecs_join_runtime();
  }
  ScratchDir dir;
  static void run(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  // An image's pixels, padding included.
  static Bytes pixels_of(object_number image) {
    PixelStoreInfo info{};
    if (!pixel_store_info(image_handle(image), &info)) return {};
    return Bytes(info.bits, info.bits + info.pitch * info.height);
  }
};

// The 32 x 32 pictures scaled up past the box to 76 x 76 (24-bit rows need
// no padding there): alpha and colours come back exactly, and a palette
// copy has only its source's colours.
TEST_F(CopyFidelityTest, pngsuite_copies_keep_transparency_and_palette_colours) {
  for (const std::string name : {"basn4a08", "tbbn0g04", "ftbbn0g04", "basn3p01"}) {
    SCOPED_TRACE(name);
    const std::string source = SKALARO_TEST_PICTURES "/" + name + ".png";
    const std::string copy = dir.file(name + ".png");
    ASSERT_NE(image_load(1, source.c_str()), 0u) << "scripts/fetch_test_pictures.sh fetches it";
    const Bytes original = pixels_of(1);
    ASSERT_NE(image_resize(1, 76, 76, RESIZE_SMOOTH), nullptr);
    ASSERT_NE(image_save(1, copy.c_str(), CODEC_PNG, DEFAULT_SAVE_QUALITY, KEEP_DEPTH), 0);
    ASSERT_NE(image_load(2, copy.c_str()), 0u);
    const Bytes copied = pixels_of(2);
    if (image_depth(1) == 32) {
      EXPECT_EQ(copied, pixels_of(1));  // alpha and colours exactly
      continue;
    }
    std::set<Bytes> palette;  // the source's colours
    for (std::size_t i = 0; i < original.size(); i += 3)
      palette.emplace(original.data() + i, original.data() + i + 3);
    for (std::size_t i = 0; i < copied.size(); i += 3)
      ASSERT_TRUE(palette.count(Bytes(copied.data() + i, copied.data() + i + 3))) << i;
  }
}

TEST_F(CopyFidelityTest, display_p3_profiles_are_carried_byte_for_byte) {
  const Bytes profile = display_p3_profile(12000);
  ASSERT_GT(profile.size(), 65519u);  // more than one JPEG marker holds
  const std::string icc = dir.file("p3.icc"), back = dir.file("back.icc");
  write_bytes(icc, profile);
  for (const std::string kind : {"jpg", "png"}) {
    SCOPED_TRACE(kind);
    const std::string source = dir.file("p3." + kind), copy = dir.file("copy." + kind);
    run("convert rose: -profile " + icc + " " + source);
    ASSERT_NE(image_load(1, source.c_str()), 0u);
    ASSERT_NE(image_resize(1, 35, 23, RESIZE_SMOOTH), nullptr);
    ASSERT_NE(image_save(1, copy.c_str(), kind == "jpg" ? CODEC_JPEG : CODEC_PNG, 8, KEEP_DEPTH),
              0);
    run("convert " + copy + " " + back);
    EXPECT_EQ(read_bytes(back), profile);
  }
}

TEST_F(CopyFidelityTest, every_orientation_turns_upright_as_imagemagick_turns_it) {
  const std::string source = dir.file("o.jpg"), turned = dir.file("o.bmp");
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    ASSERT_TRUE(write_test_jpeg_with_exif(source, 60, 40, orientation));
    run("convert " + source + " -auto-orient BMP3:" + turned);
    ASSERT_NE(image_load(1, source.c_str()), 0u);
    ASSERT_TRUE(image_turn_upright(1));
    ASSERT_NE(image_load(2, turned.c_str()), 0u);
    EXPECT_EQ(pixels_of(1), pixels_of(2));  // to the byte
  }
}

// gdk-pixbuf's premature-end.jpg: four inverted inks without the Adobe
// marker that says so, and cut short (ImageMagick warns of it).
TEST_F(CopyFidelityTest, cmyk_without_adobe_marker_reads_as_imagemagick_reads_it) {
  const std::string file = SKALARO_TEST_PICTURES "/premature-end.jpg";
  run("convert " + file + " BMP3:" + dir.file("cmyk.bmp"));
  ASSERT_NE(image_load(1, file.c_str()), 0u);
  ASSERT_NE(image_load(2, dir.file("cmyk.bmp").c_str()), 0u);
  const Bytes ours = pixels_of(1), theirs = pixels_of(2);
  ASSERT_EQ(ours.size(), theirs.size());
  for (std::size_t i = 0; i < ours.size(); ++i)
    ASSERT_NEAR(ours[i], theirs[i], 1) << i;  // they round C K / 255, the decoder truncates
}

}  // namespace
