// Resizing benchmark: a 6000 x 4000 RGBA picture to 1024 x 683 with the
// smooth resampler and with halftone stretching, next to ImageMagick's
// Mitchell filter on the same picture in the same run (one thread).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/halftone_stretch.h"
#include "image/smooth_resample.h"

namespace {

constexpr int kSourceWidth = 6000, kSourceHeight = 4000;
constexpr int kTargetWidth = 1024, kTargetHeight = 683;
constexpr int kRuns = 3;

// A picture with gradients, edges and some transparency, like a photo with a cut-out.
std::vector<std::uint8_t> make_picture() {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kSourceWidth) * kSourceHeight * 4);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kSourceHeight; ++y)
    for (int x = 0; x < kSourceWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * kSourceWidth + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 255 / kSourceWidth);
      p[1] = static_cast<std::uint8_t>(y * 255 / kSourceHeight);
      p[2] = static_cast<std::uint8_t>(((x / 40 + y / 40) % 2) * 200 + (noise >> 27));
      p[3] = static_cast<std::uint8_t>((x - 3000) * (x - 3000) + (y - 2000) * (y - 2000) < 1000000 ? 0 : 255);
    }
  return pixels;
}

std::vector<std::uint8_t> to_24_bits(const std::vector<std::uint8_t>& rgba) {
  std::vector<std::uint8_t> bgr;
  bgr.reserve(rgba.size() / 4 * 3);
  for (std::size_t i = 0; i < rgba.size(); i += 4) bgr.insert(bgr.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  return bgr;
}

}  // namespace

int main() {
  std::printf("Resizing %d x %d RGBA to %d x %d, median of %d runs\n", kSourceWidth, kSourceHeight,
              kTargetWidth, kTargetHeight, kRuns);
  const std::vector<std::uint8_t> picture = make_picture();
  std::vector<std::uint8_t> target(static_cast<std::size_t>(kTargetWidth) * kTargetHeight * 4);

  std::string dir = bench_scratch_dir();
  std::string raw = dir + "/source.rgba";
  std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(picture.data()),
                                             static_cast<std::streamsize>(picture.size()));
  std::string size = std::to_string(kSourceWidth) + "x" + std::to_string(kSourceHeight);
  std::string magick = "convert -limit thread 1 -size " + size + " -depth 8 rgba:" + raw;
  double magick_copy = median_command_seconds(kRuns, magick + " rgba:" + dir + "/copy.rgba");
  double magick_resize = median_command_seconds(
      kRuns, magick + " -filter Mitchell -resize " + std::to_string(kTargetWidth) + "x" +
                 std::to_string(kTargetHeight) + "! rgba:" + dir + "/out.rgba");
  double magick_filter = magick_resize > 0 && magick_copy > 0 ? magick_resize - magick_copy : -1;

  double smooth = median_seconds(kRuns, [&] {
    std::vector<std::uint8_t> source = picture;  // the resampler whitens its source in place
    smooth_resample_pixels(target.data(), kTargetWidth, kTargetHeight, source.data(), kSourceWidth,
                           kSourceHeight);
  });
  double copy_only = median_seconds(kRuns, [&] { std::vector<std::uint8_t> source = picture; });
  const std::vector<std::uint8_t> bgr = to_24_bits(picture);
  std::vector<std::uint8_t> target24(static_cast<std::size_t>((kTargetWidth * 3 + 3) / 4 * 4) * kTargetHeight);
  double halftone = median_seconds(kRuns, [&] {
    halftone_stretch(target24.data(), kTargetWidth, kTargetHeight, (kTargetWidth * 3 + 3) / 4 * 4,
                     bgr.data(), kSourceWidth, kSourceHeight, kSourceWidth * 3, 3);
  });

  print_row("ImageMagick convert, read + write only", magick_copy, 0);
  print_row("ImageMagick convert -filter Mitchell -resize (whole)", magick_resize, 0);
  print_row("ImageMagick resize alone (whole less read + write)", magick_filter, 0);
  print_row("smooth_resample (Mitchell, 32-bit)", smooth - copy_only, magick_filter);
  print_row("halftone_stretch (box average, 24-bit)", halftone, magick_filter);
  return 0;
}
