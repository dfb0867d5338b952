// Photos as cameras and phones write them, made for tests: an EXIF block
// with an orientation, pixels stored turned the way that orientation
// undoes, and a Display P3 colour profile.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "image/codecs/jpeg_codec.h"
#include "image/pixel_layout.h"
#include "image/pixel_store.h"
#include "runtime/file_io.h"

// An APP1 segment with a small EXIF block: a little-endian TIFF header and
// one directory holding the camera maker "Skalaro Test" and, when given,
// the orientation.
inline std::vector<std::uint8_t> exif_segment(int orientation = 0) {
  const std::uint8_t entries = orientation ? 2 : 1, maker_at = 14 + 12 * entries;
  std::vector<std::uint8_t> tiff = {
      'I',  'I',  42, 0, 8,  0, 0, 0, entries,  0,         // header, directory
      0x0F, 0x01, 2,  0, 13, 0, 0, 0, maker_at, 0, 0, 0};  // Make
  if (orientation)
    tiff.insert(tiff.end(), {0x12, 0x01, 3, 0, 1, 0, 0, 0, std::uint8_t(orientation), 0, 0, 0});
  tiff.insert(tiff.end(), {0, 0, 0, 0});  // no next directory
  const std::string maker = "Skalaro Test";
  tiff.insert(tiff.end(), maker.c_str(), maker.c_str() + maker.size() + 1);
  const std::size_t length = 8 + tiff.size();  // the length field, "Exif" and two zeros
  std::vector<std::uint8_t> segment = {
      0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
  segment.insert(segment.end(), tiff.begin(), tiff.end());
  return segment;
}

// What the test photo shows at (x, y) of its shown size, counted from the
// top left, in blue-green-red order: red grows to the right, green downwards.
inline std::array<int, 3> shown_colour(int x, int y, int width, int height) {
  return {96, y * 255 / (height - 1), x * 255 / (width - 1)};
}

// A JPEG that shows as width x height once turned as its EXIF orientation
// says (each stored pixel has the colour shown where the orientation puts
// it), with the block right after the start marker and the profile of
// `traits` when given.
inline bool write_oriented_jpeg(const std::string& name, int width, int height, int orientation,
                                const PictureTraits* traits = nullptr) {
  const bool turned = orientation >= 5;
  const int w = turned ? height : width, h = turned ? width : height;  // as stored
  const std::int64_t pitch = image_row_pitch(w, 24);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pitch * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // Where stored (x, y) is shown, by orientation (0 unused).
      const int at[9][2] = {{x, y},         {x, y}, {w - 1 - x, y}, {w - 1 - x, h - 1 - y},
                            {x, h - 1 - y}, {y, x}, {h - 1 - y, x}, {h - 1 - y, w - 1 - x},
                            {y, w - 1 - x}};
      const auto c = shown_colour(at[orientation][0], at[orientation][1], width, height);
      for (int k = 0; k < 3; ++k) pixels[(h - 1 - y) * pitch + x * 3 + k] = std::uint8_t(c[k]);
    }
  std::vector<std::uint8_t> bytes;
  if (!jpeg_codec_encode(name.c_str(), pixels.data(), w, h, pitch, ROWS_BOTTOM_UP, 9, 24, traits) ||
      !file_read_whole(name.c_str(), bytes))
    return false;
  const auto exif = exif_segment(orientation);
  bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
  OutputFile file;
  return file.create(name.c_str()) && file.write(bytes.data(), bytes.size()) && file.commit();
}

// The mean difference, over every colour byte, between a picture and what
// the test photo shows at its size: a picture turned or mirrored the wrong
// way is some 40 to 120 away.
inline double difference_from_shown(PixelStore store) {
  PixelStoreInfo info{};
  if (!pixel_store_info(store, &info)) return 255;
  double sum = 0;
  for (int y = 0; y < info.height; ++y)
    for (int x = 0; x < info.width; ++x) {
      const std::uint8_t* p = info.bits + (info.height - 1 - y) * info.pitch + x * (info.depth / 8);
      const auto c = shown_colour(x, y, info.width, info.height);
      for (int k = 0; k < 3; ++k) sum += std::abs(p[k] - c[k]);
    }
  return sum / (3.0 * info.width * info.height);
}

// A Display P3 profile (ICC 4.3: the P3 primaries adapted to D50, the sRGB
// curve sampled at `points` points); many points make it larger than one
// JPEG marker holds.
inline std::vector<std::uint8_t> display_p3_profile(int points = 1024) {
  auto be32 = [](std::vector<std::uint8_t>& v, std::int64_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(std::uint8_t(x >> s));
  };
  auto xyz = [&](double x, double y, double z) {
    std::vector<std::uint8_t> tag = {'X', 'Y', 'Z', ' ', 0, 0, 0, 0};
    for (double c : {x, y, z}) be32(tag, std::lround(c * 65536));
    return tag;
  };
  std::vector<std::uint8_t> desc = {'m', 'l', 'u', 'c', 0,   0,   0, 0, 0, 0,  0, 1, 0, 0,
                                    0,   12,  'e', 'n', 'U', 'S', 0, 0, 0, 20, 0, 0, 0, 28};
  for (char c : std::string("Display P3")) desc.insert(desc.end(), {0, std::uint8_t(c)});
  std::vector<std::uint8_t> curve = {'c', 'u', 'r', 'v', 0, 0, 0, 0};
  be32(curve, points);
  for (int k = 0; k < points; ++k) {
    const double v = k / double(points - 1);
    const long level =
        std::lround(65535 * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4)));
    curve.insert(curve.end(), {std::uint8_t(level >> 8), std::uint8_t(level)});
  }
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> tags = {
      {"desc", desc},
      {"wtpt", xyz(0.9642, 1, 0.8249)},
      {"rXYZ", xyz(0.5151, 0.2412, -0.0011)},
      {"gXYZ", xyz(0.292, 0.6922, 0.0419)},
      {"bXYZ", xyz(0.1571, 0.0666, 0.7841)},
      {"rTRC", curve},
      {"gTRC", curve},
      {"bTRC", curve}};
  std::vector<std::uint8_t> p(128, 0), data;
  be32(p, static_cast<std::int64_t>(tags.size()));
  for (const auto& [signature, bytes] : tags) {
    p.insert(p.end(), signature, signature + 4);
    be32(p, static_cast<std::int64_t>(128 + 4 + 12 * tags.size() + data.size()));
    be32(p, static_cast<std::int64_t>(bytes.size()));
    data.insert(data.end(), bytes.begin(), bytes.end());
    data.resize((data.size() + 3) / 4 * 4);
  }
  p.insert(p.end(), data.begin(), data.end());
  std::vector<std::uint8_t> header;
  be32(header, static_cast<std::int64_t>(p.size()));
  header.insert(header.end(), {0,   0,   0,   0,   4,   0x30, 0,   0,   'm', 'n',
                               't', 'r', 'R', 'G', 'B', ' ',  'X', 'Y', 'Z', ' '});
  std::copy(header.begin(), header.end(), p.begin());
  std::copy_n("acsp", 4, p.begin() + 36);
  const std::uint8_t d50[] = {0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D};
  std::copy(std::begin(d50), std::end(d50), p.begin() + 68);
  return p;
}
