// Writes the decoder fuzzer's seed corpus: small JPEG, PNG, BMP and icon
// files made by the project's own encoders and by hand, and small hostile
// ones (a JPEG declaring more than it carries, a progressive one with many
// scans, a PNG whose stream goes on after its rows, one with texts).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_pictures.h"
#include "image/bmp_codec.h"
#include "image/codecs/jpeg_codec.h"
#include "image/codecs/png_codec.h"
#include "image/pixel_layout.h"
#include "runtime/lifecycle.h"
#include "support/bmp_builder.h"
#include "support/hostile_pictures.h"

namespace {

void write_seed(const std::string& name, const hostile::Bytes& bytes) {
  std::ofstream(name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void write_hostile_seeds(const std::string& dir) {
  hostile::JpegRecipe declared;
  declared.width = declared.height = 4000;
  write_seed(dir + "/declared.jpg", hostile::make_jpeg(declared));
  hostile::JpegRecipe scans;
  scans.components = 1;
  scans.progressive = true;
  scans.whole_scan = true;
  scans.empty_scans = 30;
  write_seed(dir + "/scans.jpg", hostile::make_jpeg(scans));
  // Refinement scans that visit every coefficient, from a file just under a
  // mebibyte (the largest inputs the fuzzer makes).
  write_seed(dir + "/refinements.jpg",
             hostile::make_refinement_jpeg(2048, 64, false, (1 << 20) - 1));
  write_seed(dir + "/arithmetic.jpg", hostile::make_refinement_jpeg(2048, 64, true));
  hostile::PngRecipe tail;
  tail.width = tail.height = 16;
  tail.tail = 1 << 20;
  write_seed(dir + "/tail.png", hostile::make_png(tail));
  hostile::PngRecipe text;
  text.width = text.height = 4;
  text.text_chunks = 2;
  text.text_size = 100000;
  write_seed(dir + "/text.png", hostile::make_png(text));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_decoder_seeds DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];
  runtime_start();
  const int w = 9, h = 7;
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(image_row_pitch(w, 24) * h));
  std::vector<std::uint8_t> bgra(static_cast<std::size_t>(w * h * 4));
  for (std::size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<std::uint8_t>(i * 37);
  for (std::size_t i = 0; i < bgra.size(); ++i) bgra[i] = static_cast<std::uint8_t>(i * 53);
  const std::int64_t pitch = image_row_pitch(w, 24);
  bool ok = jpeg_codec_encode((dir + "/seed.jpg").c_str(), bgr.data(), w, h, pitch, ROWS_BOTTOM_UP,
                              7, 24);
  ok &= png_codec_encode((dir + "/rgb.png").c_str(), bgr.data(), w, h, pitch, ROWS_BOTTOM_UP, 7,
                         24) == 1;
  ok &= png_codec_encode_alpha((dir + "/rgba.png").c_str(), bgra.data(), w, h, w * 4,
                               ROWS_BOTTOM_UP, 7, 32) == 1;
  ok &= png_codec_encode((dir + "/palette.png").c_str(), bgr.data(), w, h, pitch, ROWS_BOTTOM_UP, 7,
                         4) == 1;
  ok &= bmp_write((dir + "/seed24.bmp").c_str(), bgr.data(), w, h, pitch, 24, ROWS_BOTTOM_UP, 7,
                  24) == 1;
  ok &= bmp_write((dir + "/seed8.bmp").c_str(), bgr.data(), w, h, pitch, 24, ROWS_BOTTOM_UP, 7,
                  8) == 1;
  ok &= write_test_jpeg_with_exif(dir + "/photo.jpg", w, h, 6);  // an EXIF orientation
  write_hostile_seeds(dir);
  Bytes icon = make_icon(4, 4, std::vector<std::uint32_t>(16, 0x80FF8040u), 2);
  std::ofstream(dir + "/seed.ico", std::ios::binary)
      .write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
  runtime_stop();
  return ok ? 0 : 1;
}
