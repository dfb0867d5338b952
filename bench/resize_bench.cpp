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
      p[3] = static_cast<std::uint8_t>(
          (x - 3000) * (x - 3000) + (y - 2000) * (y - 2000) < 1000000 ? 0 : 255);
    }
  return pixels;
}

std::vector<std::uint8_t> to_24_bits(const std::vector<std::uint8_t>& rgba) {
  std::vector<std::uint8_t> bgr;
  bgr.reserve(rgba.size() / 4 * 3);
  for (std::size_t i = 0; i < rgba.size(); i += 4)
    bgr.insert(bgr.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
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
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(picture.data()),
             static_cast<std::streamsize>(picture.size()));
  std::string size = std::to_string(kSourceWidth) + "x" + std::to_string(kSourceHeight);
  std::string geometry = std::to_string(kTargetWidth) + "x" + std::to_string(kTargetHeight) + "!";
  std::string magick =
      imagemagick_convert() + " -limit thread 1 -size " + size + " -depth 8 rgba:" + raw;
  double magick_copy = median_command_seconds(kRuns, magick + " rgba:" + dir + "/copy.rgba");
  double magick_resize = median_command_seconds(
      kRuns, magick + " -filter Mitchell -resize " + geometry + " rgba:" + dir + "/out.rgba");
  // The resize alone: one command resizing the decoded picture once and one
  // resizing it four times; the difference is three resizes (each with the
  // clone of the picture that ImageMagick makes for it).
  auto repeated = [&](int times) {
    std::string command = magick + " -write mpr:source +delete";
    for (int i = 0; i < times; ++i)
      command += " '(' mpr:source -filter Mitchell -resize " + geometry + " ')'";
    return median_command_seconds(kRuns, command + " null:");
  };
  double once = repeated(1), four_times = repeated(4);
  double magick_filter = once > 0 && four_times > 0 ? (four_times - once) / 3 : -1;

  double smooth = median_seconds(kRuns, [&] {
    std::vector<std::uint8_t> source = picture;  // the resampler whitens its source in place
    smooth_resample_pixels(target.data(), kTargetWidth, kTargetHeight, source.data(), kSourceWidth,
                           kSourceHeight);
  });
  double copy_only = median_seconds(kRuns, [&] { std::vector<std::uint8_t> source = picture; });
  const std::vector<std::uint8_t> bgr = to_24_bits(picture);
  std::vector<std::uint8_t> target24(static_cast<std::size_t>((kTargetWidth * 3 + 3) / 4 * 4) *
                                     kTargetHeight);
  double halftone = median_seconds(kRuns, [&] {
    halftone_stretch(target24.data(), kTargetWidth, kTargetHeight, (kTargetWidth * 3 + 3) / 4 * 4,
                     bgr.data(), kSourceWidth, kSourceHeight, kSourceWidth * 3, 3);
  });

  print_row("ImageMagick convert, read + write only", magick_copy, 0);
  print_row("ImageMagick convert, read + Mitchell resize + write", magick_resize, 0);
  print_row("ImageMagick Mitchell resize alone (A)", magick_filter, 0);
  print_row("smooth_resample (Mitchell, 32-bit), against A", smooth - copy_only, magick_filter);
  print_row("halftone_stretch (box average, 24-bit), against A", halftone, magick_filter);
  print_row("smooth_resample against the whole convert command", smooth - copy_only, magick_resize);
  return 0;
}
