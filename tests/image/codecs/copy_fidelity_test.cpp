// What a copy keeps of its source, against published pictures and outside
// tools: PngSuite's transparent and palette pictures keep their alpha and
// palette colours, Display P3 profiles come back out of ImageMagick byte for
// byte, and every EXIF orientation turns upright as ImageMagick's
// -auto-orient turns it. A copy is made the way the resize job makes it:
// loaded, scaled, saved in its format at its source's depth.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <set>
#include <string>

#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "support/photo_pictures.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

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

// Scaled up to 75 x 75, as the job scales these 32 x 32 pictures into the
// box 75 x 20 under "min". Printed: the copy's mean difference from the
// scaled picture over all bytes (colours, and alpha where there is one).
TEST_F(CopyFidelityTest, pngsuite_copies_keep_transparency_and_palette_colours) {
  for (const std::string name : {"basn4a08", "tbbn0g04", "ftbbn0g04", "basn3p01"}) {
    SCOPED_TRACE(name);
    const std::string source = std::string(SKALARO_TEST_PICTURES) + "/" + name + ".png";
    const std::string copy = dir.file(name + ".png");
    ASSERT_NE(image_load(1, source.c_str()), 0u) << "scripts/fetch_test_pictures.sh fetches it";
    std::set<Bytes> colours;  // of a 24-bit source: its rows of 96 bytes need no padding
    const Bytes original = pixels_of(1);
    for (std::size_t i = 0; i + 3 <= original.size(); i += 3)
      colours.insert(Bytes(original.begin() + i, original.begin() + i + 3));
    ASSERT_NE(image_resize(1, 75, 75, RESIZE_SMOOTH), nullptr);
    ASSERT_NE(image_save(1, copy.c_str(), CODEC_PNG, DEFAULT_SAVE_QUALITY, KEEP_DEPTH), 0);
    ASSERT_NE(image_load(2, copy.c_str()), 0u);
    ASSERT_EQ(image_depth(2), image_depth(1));
    const Bytes scaled = pixels_of(1), copied = pixels_of(2);
    double difference = 0;
    for (std::size_t i = 0; i < scaled.size(); ++i) difference += std::abs(scaled[i] - copied[i]);
    std::cout << name << ": mean difference " << difference / scaled.size() << "\n";
    if (image_depth(1) == 32) {
      EXPECT_EQ(copied, scaled);  // alpha and colours exactly
      continue;
    }
    PixelStoreInfo info{};
    pixel_store_info(image_handle(2), &info);
    for (int y = 0; y < 75; ++y)
      for (int x = 0; x < 75; ++x) {
        const std::uint8_t* p = info.bits + y * info.pitch + x * 3;
        ASSERT_TRUE(colours.count(Bytes(p, p + 3))) << "a colour the source's palette lacks";
      }
  }
}

TEST_F(CopyFidelityTest, display_p3_profiles_are_carried_byte_for_byte) {
  const Bytes profile = display_p3_profile(12000);
  ASSERT_GT(profile.size(), 65519u);  // more than one JPEG marker holds
  const std::string icc = dir.file("p3.icc"), plain = dir.file("plain.jpg");
  OutputFile file;
  ASSERT_TRUE(file.create(icc.c_str()) && file.write(profile.data(), profile.size()) &&
              file.commit());
  ASSERT_TRUE(write_oriented_jpeg(plain, 90, 60, 1));
  for (const std::string kind : {"jpg", "png"}) {
    SCOPED_TRACE(kind);
    const std::string source = dir.file("p3." + kind), copy = dir.file("copy." + kind);
    run("convert " + plain + " -profile " + icc + " " + source);
    ASSERT_NE(image_load(1, source.c_str()), 0u);
    ASSERT_NE(image_resize(1, 45, 30, RESIZE_SMOOTH), nullptr);
    ASSERT_NE(image_save(1, copy.c_str(), kind == "jpg" ? CODEC_JPEG : CODEC_PNG, 8, KEEP_DEPTH),
              0);
    run("convert " + copy + " " + dir.file("back.icc"));
    Bytes back;
    file_read_whole(dir.file("back.icc").c_str(), back);
    EXPECT_EQ(back, profile);
  }
}

// The photos are made so that, turned as their orientation says, they all
// show the same picture: ImageMagick's -auto-orient shows it, and so does
// the decoded picture turned upright, to the byte.
TEST_F(CopyFidelityTest, every_orientation_turns_upright_as_imagemagick_turns_it) {
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const std::string source = dir.file("o.jpg"), turned = dir.file("o.bmp");
    ASSERT_TRUE(write_oriented_jpeg(source, 60, 40, orientation));
    run("convert " + source + " -auto-orient BMP3:" + turned);
    ASSERT_NE(image_load(1, source.c_str()), 0u);
    EXPECT_EQ(image_orientation(1), orientation);
    ASSERT_TRUE(image_turn_upright(1));
    EXPECT_EQ(image_orientation(1), 1);
    ASSERT_NE(image_load(2, turned.c_str()), 0u);
    EXPECT_EQ(pixels_of(1), pixels_of(2));
    EXPECT_LT(difference_from_shown(image_handle(2)), 4);
  }
}

}  // namespace
