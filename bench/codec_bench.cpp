// Codec benchmark: decode and encode of a 6000 x 4000 JPEG at quality 8 and
// of a 2000 x 1500 RGBA PNG, next to libjpeg-turbo's djpeg and cjpeg and to
// ImageMagick (one thread) on the same files in the same run.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/codec_registry.h"
#include "image/codecs/codec_plugins.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"
#include "runtime/lifecycle.h"

namespace {

constexpr int kRuns = 3;

void write_ppm(const std::string& name, const std::vector<std::uint8_t>& bgr, int w, int h) {
  std::ofstream ppm(name, std::ios::binary);
  ppm << "P6\n" << w << " " << h << "\n255\n";
  const std::int64_t pitch = image_row_pitch(w, 24);
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &bgr[y * pitch + x * 3];
      ppm.put(static_cast<char>(p[2])).put(static_cast<char>(p[1])).put(static_cast<char>(p[0]));
    }
}

double decode_seconds(const std::string& file) {
  std::vector<std::uint8_t> data;
  file_read_whole(file.c_str(), data);
  return median_seconds(kRuns, [&] {
    DecodedPicture picture = decode_chain(data.data(), static_cast<std::uint32_t>(data.size()));
    pixel_store_delete(picture.store);
  });
}

}  // namespace

int main() {
  runtime_start();
  decoder_init();
  codecs_use_all();
  const std::string dir = bench_scratch_dir();
  const std::string magick = imagemagick_convert() + " -limit thread 1";

  const int jw = 6000, jh = 4000;
  std::printf("JPEG %d x %d at quality 8 (library quality 80), median of %d runs\n", jw, jh, kRuns);
  std::vector<std::uint8_t> photo = bench_photo(jw, jh, 3);
  const std::string ppm = dir + "/photo.ppm", jpg = dir + "/photo.jpg";
  write_ppm(ppm, photo, jw, jh);
  double encode = median_seconds(kRuns, [&] {
    jpeg_codec_encode(jpg.c_str(), photo.data(), jw, jh, image_row_pitch(jw, 24), ROWS_BOTTOM_UP, 8,
                      24);
  });
  double cjpeg =
      median_command_seconds(kRuns, "cjpeg -quality 80 " + ppm + " > " + dir + "/cjpeg.jpg");
  double magick_encode =
      median_command_seconds(kRuns, magick + " " + ppm + " -quality 80 " + dir + "/im.jpg");
  double decode = decode_seconds(jpg);
  // Holding the picture costs a zeroed store of its own that djpeg (writing
  // to /dev/null) does not pay; measured apart to show the library's share.
  double store = median_seconds(kRuns, [&] {
    PixelStore s = pixel_store_create(jw, jh, 24);
    PixelStoreInfo info{};
    pixel_store_info(s, &info);
    std::memset(info.bits, 1, static_cast<std::size_t>(info.pitch * jh));
    pixel_store_delete(s);
  });
  double djpeg = median_command_seconds(kRuns, "djpeg -ppm " + jpg + " > /dev/null");
  // Writing the pixels somewhere, as a decoded picture must be held somewhere.
  double djpeg_file =
      median_command_seconds(kRuns, "djpeg -ppm -outfile " + dir + "/out.ppm " + jpg);
  double magick_decode = median_command_seconds(kRuns, magick + " " + jpg + " null:");
  print_row("cjpeg -quality 80 (reads PPM)", cjpeg, 0);
  print_row("ImageMagick encode (reads PPM)", magick_encode, 0);
  print_row("jpeg_codec_encode, against cjpeg", encode, cjpeg);
  print_row("jpeg_codec_encode, against ImageMagick", encode, magick_encode);
  print_row("djpeg -ppm (writes to /dev/null)", djpeg, 0);
  print_row("ImageMagick decode (to null:)", magick_decode, 0);
  print_row("djpeg -ppm -outfile (writes the 72 MB picture)", djpeg_file, 0);
  print_row("decode_chain JPEG, against djpeg", decode, djpeg);
  print_row("decode_chain JPEG, against djpeg writing its file", decode, djpeg_file);
  print_row("decode_chain JPEG, against ImageMagick", decode, magick_decode);
  print_row("  of which creating and filling the pixel store", store, 0);
  print_row("decode_chain JPEG less the store, against djpeg", decode - store, djpeg);
  std::vector<std::uint8_t> encoded;
  file_read_whole(jpg.c_str(), encoded);
  std::printf("  (the JPEG file holds %zu bytes)\n", encoded.size());

  const int pw = 2000, ph = 1500;
  std::printf("\nPNG %d x %d RGBA, compression 9, no filter, median of %d runs\n", pw, ph, kRuns);
  std::vector<std::uint8_t> rgba = bench_photo(pw, ph, 4);
  const std::string png = dir + "/picture.png", raw = dir + "/picture.bgra";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
  double png_encode = median_seconds(
      kRuns, [&] { png_codec_encode_alpha(png.c_str(), rgba.data(), pw, ph, pw * 4, 0, 7, 32); });
  double magick_png_encode = median_command_seconds(
      kRuns,
      magick + " -size " + std::to_string(pw) + "x" + std::to_string(ph) + " -depth 8 bgra:" + raw +
          " -define png:compression-level=9 -define png:compression-filter=0 " + dir + "/im.png");
  double png_decode = decode_seconds(png);
  double magick_png_decode = median_command_seconds(kRuns, magick + " " + png + " null:");
  print_row("ImageMagick PNG encode (reads raw BGRA)", magick_png_encode, 0);
  print_row("png_codec_encode_alpha, against ImageMagick", png_encode, magick_png_encode);
  print_row("ImageMagick PNG decode (to null:)", magick_png_decode, 0);
  print_row("decode_chain PNG, against ImageMagick", png_decode, magick_png_decode);
  runtime_stop();
  return 0;
}
