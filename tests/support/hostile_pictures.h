// Picture files built byte by byte to cost a decoder as much as possible:
// JPEGs that declare far more pixels than their data covers, progressive
// JPEGs with many empty scans, PNGs whose image stream goes on long after
// the last row, PNGs full of compressed text. Shared by the codec tests, the
// cost benchmark and the decoder fuzzer's seeds.
//
// The JPEGs use Huffman tables of one one-bit code each, so that every zero
// bit is a whole symbol: a zero byte in a baseline scan is four complete
// blocks (DC difference 0, end of block), in a progressive DC scan eight.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace hostile {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

inline void put32(Bytes& out, std::uint32_t value) {
  put16(out, value >> 16);
  put16(out, value & 0xFFFF);
}

struct JpegRecipe {
  int width = 64;
  int height = 64;
  int components = 3;  // 1 (grey), 3 (YCbCr, luma sampled 2 x 2) or 4 (CMYK)
  bool progressive = false;
  int empty_scans = 0;          // progressive: extra AC scans that carry no data
  std::size_t scan_bytes = 16;  // zero bytes of the first scan's data
  bool whole_scan = false;      // instead: exactly the bytes that cover every block
  std::size_t pad_to = 0;       // comment segments until the file has this size
  bool end_marker = true;
};

inline int jpeg_luma_sampling(const JpegRecipe& r) {
  return r.components == 3 ? 2 : 1;
}

// Blocks of one interleaved scan over every component.
inline std::uint64_t jpeg_blocks(const JpegRecipe& r) {
  const int s = jpeg_luma_sampling(r);
  const std::uint64_t mcus = static_cast<std::uint64_t>((r.width + 8 * s - 1) / (8 * s)) *
                             static_cast<std::uint64_t>((r.height + 8 * s - 1) / (8 * s));
  const int per_mcu = r.components == 3 ? 6 : r.components;
  if (r.components == 1)  // a lone component is not interleaved: no padding to whole MCUs
    return static_cast<std::uint64_t>((r.width + 7) / 8) * ((r.height + 7) / 8);
  return mcus * static_cast<std::uint64_t>(per_mcu);
}

inline void jpeg_segment(Bytes& out, unsigned marker, const Bytes& body) {
  out.push_back(0xFF);
  out.push_back(static_cast<std::uint8_t>(marker));
  put16(out, static_cast<unsigned>(body.size() + 2));
  out.insert(out.end(), body.begin(), body.end());
}

inline void jpeg_scan_header(Bytes& out, const std::vector<int>& ids, int ss, int se) {
  Bytes body{static_cast<std::uint8_t>(ids.size())};
  for (int id : ids) {
    body.push_back(static_cast<std::uint8_t>(id));
    body.push_back(0x00);  // DC table 0, AC table 0
  }
  body.push_back(static_cast<std::uint8_t>(ss));
  body.push_back(static_cast<std::uint8_t>(se));
  body.push_back(0x00);
  jpeg_segment(out, 0xDA, body);
}

// Comment segments after the start marker bring the file to `size`.
inline void jpeg_pad(Bytes& out, std::size_t size) {
  Bytes padding;
  while (out.size() + padding.size() + 4 <= size) {
    const std::size_t room = std::min<std::size_t>(size - out.size() - padding.size() - 4, 65533);
    jpeg_segment(padding, 0xFE, Bytes(room, 'x'));
  }
  out.insert(out.begin() + 2, padding.begin(), padding.end());
}

inline Bytes make_jpeg(const JpegRecipe& r) {
  Bytes out{0xFF, 0xD8};
  Bytes quant(65, 1);  // table 0 of 8-bit values, all of them 1
  quant[0] = 0x00;
  jpeg_segment(out, 0xDB, quant);
  Bytes frame;
  frame.push_back(8);  // bits per sample
  put16(frame, static_cast<unsigned>(r.height));
  put16(frame, static_cast<unsigned>(r.width));
  frame.push_back(static_cast<std::uint8_t>(r.components));
  std::vector<int> ids;
  for (int c = 1; c <= r.components; ++c) {
    const int s = c == 1 ? jpeg_luma_sampling(r) : 1;
    frame.insert(frame.end(),
                 {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(s << 4 | s), 0x00});
    ids.push_back(c);
  }
  jpeg_segment(out, r.progressive ? 0xC2 : 0xC0, frame);
  Bytes tables;
  for (std::uint8_t table_class : {0x00, 0x10}) {
    tables.push_back(table_class);
    tables.push_back(1);  // one code of length 1 ...
    tables.insert(tables.end(), 15, 0);
    tables.push_back(0x00);  // ... for symbol 0: DC difference 0, or end of block
  }
  jpeg_segment(out, 0xC4, tables);
  // The first scan: every component, DC only when progressive.
  jpeg_scan_header(out, ids, 0, r.progressive ? 0 : 63);
  const int bits_per_block = r.progressive ? 1 : 2;
  const std::size_t data = r.whole_scan
                               ? static_cast<std::size_t>((jpeg_blocks(r) * bits_per_block + 7) / 8)
                               : r.scan_bytes;
  out.insert(out.end(), data, 0x00);
  for (int n = 0; n < r.empty_scans; ++n) jpeg_scan_header(out, {1 + n % r.components}, 1, 63);
  if (r.end_marker) out.insert(out.end(), {0xFF, 0xD9});
  jpeg_pad(out, r.pad_to);
  return out;
}

// A grey progressive JPEG of `scans` AC refinement scans (coefficients 1 to
// 63), each of which makes the decoder visit every coefficient of every
// block: with Huffman coding through end-of-band runs of 32767 blocks (two
// bytes a run), with arithmetic coding without any data (which the decoder
// takes as zeros, as the standard says).
inline Bytes make_refinement_jpeg(int side, int scans, bool arithmetic, std::size_t pad_to = 0) {
  Bytes out{0xFF, 0xD8};
  Bytes quant(65, 1);
  quant[0] = 0x00;
  jpeg_segment(out, 0xDB, quant);
  Bytes frame{8};
  put16(frame, static_cast<unsigned>(side));
  put16(frame, static_cast<unsigned>(side));
  frame.insert(frame.end(), {1, 1, 0x11, 0x00});
  jpeg_segment(out, arithmetic ? 0xCA : 0xC2, frame);
  if (!arithmetic) {
    Bytes table{0x10, 1};  // AC table 0: one code of length 1 ...
    table.insert(table.end(), 15, 0);
    table.push_back(0xE0);  // ... for an end-of-band run of 2^14 plus 14 bits
    jpeg_segment(out, 0xC4, table);
  }
  const std::uint64_t blocks = static_cast<std::uint64_t>((side + 7) / 8) * ((side + 7) / 8);
  const std::uint64_t runs = (blocks + 32766) / 32767;
  for (int n = 0; n < scans; ++n) {
    jpeg_segment(out, 0xDA, Bytes{1, 1, 0x00, 1, 63, 0x10});  // refining bit 0
    if (arithmetic) continue;
    // Each run: the code 0, then 14 one bits (a run of 32767 blocks).
    std::uint32_t bits = 0;
    int count = 0;
    auto put_bits = [&](std::uint32_t value, int n_bits) {
      bits = bits << n_bits | value;
      count += n_bits;
      while (count >= 8) {
        const auto byte = static_cast<std::uint8_t>(bits >> (count - 8));
        out.push_back(byte);
        if (byte == 0xFF) out.push_back(0x00);
        count -= 8;
      }
    };
    for (std::uint64_t r = 0; r < runs; ++r) put_bits(0x3FFF, 15);
    if (count > 0) put_bits((1u << (8 - count)) - 1, 8 - count);
  }
  out.insert(out.end(), {0xFF, 0xD9});
  jpeg_pad(out, pad_to);
  return out;
}

// A zlib stream that inflates to `count` copies of `fill`, built from one
// compressed mebibyte repeated, so that gigabytes cost milliseconds.
inline Bytes zlib_of_repeats(std::uint64_t count, std::uint8_t fill) {
  constexpr std::size_t kPiece = 1 << 20;
  const Bytes piece(kPiece, fill);
  z_stream z{};
  deflateInit(&z, 9);
  Bytes out(deflateBound(&z, kPiece) * 3 + 64);
  auto run = [&](std::size_t length, int flush) {
    z.next_in = const_cast<Bytef*>(piece.data());
    z.avail_in = static_cast<uInt>(length);
    const std::size_t before = z.total_out;
    z.next_out = out.data() + before;
    z.avail_out = static_cast<uInt>(out.size() - before);
    deflate(&z, flush);
    return Bytes(out.begin() + static_cast<std::ptrdiff_t>(before),
                 out.begin() + static_cast<std::ptrdiff_t>(z.total_out));
  };
  Bytes stream;
  const std::uint64_t whole = count / kPiece;
  if (whole > 0) {
    stream = run(kPiece, Z_FULL_FLUSH);  // with the zlib header
    // After a full flush the compressor starts afresh: every later piece
    // compresses to the same bytes.
    if (whole > 1) {
      const Bytes repeated = run(kPiece, Z_FULL_FLUSH);
      for (std::uint64_t n = 1; n < whole; ++n)
        stream.insert(stream.end(), repeated.begin(), repeated.end());
    }
  }
  const Bytes last = run(static_cast<std::size_t>(count % kPiece), Z_FINISH);
  stream.insert(stream.end(), last.begin(), last.end() - 4);
  deflateEnd(&z);
  // The trailer: the Adler-32 of all `count` bytes.
  uLong adler = adler32(0, nullptr, 0);
  const uLong piece_adler = adler32(adler32(0, nullptr, 0), piece.data(), kPiece);
  for (std::uint64_t n = 0; n < whole; ++n) adler = adler32_combine(adler, piece_adler, kPiece);
  adler = adler32_combine(
      adler, adler32(adler32(0, nullptr, 0), piece.data(), static_cast<uInt>(count % kPiece)),
      static_cast<z_off_t>(count % kPiece));
  put32(stream, static_cast<std::uint32_t>(adler));
  return stream;
}

inline void png_chunk(Bytes& out, const char* type, const Bytes& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, static_cast<std::uint32_t>(
                 crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

struct PngRecipe {
  int width = 100;
  int height = 100;
  int colour_type = 2;  // 0 grey, 2 RGB, 3 palette, 6 RGBA
  int bit_depth = 8;
  bool interlaced = false;
  std::uint64_t rows = UINT64_MAX;  // rows of zero pixels in the stream (all by default)
  std::uint64_t tail = 0;           // zero bytes in the stream after the rows
  int text_chunks = 0;              // compressed text chunks ahead of the image data
  std::uint64_t text_size = 0;      // bytes each of them inflates to
  std::size_t pad_to = 0;           // a private chunk brings the file to this size
  std::size_t cut_to = 0;           // the file ends after this many bytes (0: whole)
  int filter = 0;                   // every row's filter type (4, Paeth, is the costliest to undo)
};

// Bytes of one stored row of `width` pixels, its filter byte included.
inline std::uint64_t png_row_bytes(const PngRecipe& r, std::uint64_t width) {
  const int channels = r.colour_type == 2 ? 3 : r.colour_type == 6 ? 4 : 1;
  return 1 + (width * static_cast<std::uint64_t>(channels * r.bit_depth) + 7) / 8;
}

inline std::uint64_t png_row_bytes(const PngRecipe& r) {
  return png_row_bytes(r, static_cast<std::uint64_t>(r.width));
}

// The bytes of the first `rows` rows (of every pass, when interlaced).
inline std::uint64_t png_image_bytes(const PngRecipe& r, std::uint64_t rows) {
  if (!r.interlaced) return rows * png_row_bytes(r);
  static const int start_x[7] = {0, 4, 0, 2, 0, 1, 0}, step_x[7] = {8, 8, 4, 4, 2, 2, 1};
  static const int start_y[7] = {0, 0, 4, 0, 2, 0, 1}, step_y[7] = {8, 8, 8, 4, 4, 2, 2};
  std::uint64_t total = 0;
  for (int pass = 0; pass < 7; ++pass) {
    const std::uint64_t w =
        r.width > start_x[pass] ? (r.width - start_x[pass] + step_x[pass] - 1) / step_x[pass] : 0;
    const std::uint64_t h = rows > static_cast<std::uint64_t>(start_y[pass])
                                ? (rows - start_y[pass] + step_y[pass] - 1) / step_y[pass]
                                : 0;
    if (w > 0) total += h * png_row_bytes(r, w);
  }
  return total;
}

// The stream of `rows` rows (of every pass) whose filter byte is `filter`
// and whose pixels are zero, deflated row by row.
inline Bytes zlib_of_filtered_rows(const PngRecipe& r, std::uint64_t rows) {
  static const int start_x[7] = {0, 4, 0, 2, 0, 1, 0}, step_x[7] = {8, 8, 4, 4, 2, 2, 1};
  static const int start_y[7] = {0, 0, 4, 0, 2, 0, 1}, step_y[7] = {8, 8, 8, 4, 4, 2, 2};
  z_stream z{};
  deflateInit(&z, 9);
  Bytes stream, buffer(1 << 20);
  auto feed = [&](const Bytes& in, int flush) {
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    do {
      z.next_out = buffer.data();
      z.avail_out = static_cast<uInt>(buffer.size());
      deflate(&z, flush);
      stream.insert(stream.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
    } while (z.avail_out == 0);
  };
  for (int pass = 0; pass < (r.interlaced ? 7 : 1); ++pass) {
    const std::uint64_t w = !r.interlaced ? static_cast<std::uint64_t>(r.width)
                            : r.width > start_x[pass]
                                ? (r.width - start_x[pass] + step_x[pass] - 1) / step_x[pass]
                                : 0;
    const std::uint64_t h = !r.interlaced ? rows
                            : rows > static_cast<std::uint64_t>(start_y[pass])
                                ? (rows - start_y[pass] + step_y[pass] - 1) / step_y[pass]
                                : 0;
    if (w == 0) continue;
    Bytes row(png_row_bytes(r, w), 0);
    row[0] = static_cast<std::uint8_t>(r.filter);
    for (std::uint64_t y = 0; y < h; ++y) feed(row, Z_NO_FLUSH);
  }
  feed(Bytes(), Z_FINISH);
  deflateEnd(&z);
  return stream;
}

inline Bytes make_png(const PngRecipe& r) {
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  put32(header, static_cast<std::uint32_t>(r.width));
  put32(header, static_cast<std::uint32_t>(r.height));
  header.insert(header.end(),
                {static_cast<std::uint8_t>(r.bit_depth), static_cast<std::uint8_t>(r.colour_type),
                 0, 0, static_cast<std::uint8_t>(r.interlaced ? 1 : 0)});
  png_chunk(out, "IHDR", header);
  if (r.colour_type == 3) png_chunk(out, "PLTE", Bytes{0, 0, 0, 255, 255, 255});
  if (r.text_chunks > 0) {
    Bytes text{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    const Bytes body = zlib_of_repeats(r.text_size, 'a');
    text.insert(text.end(), body.begin(), body.end());
    for (int n = 0; n < r.text_chunks; ++n) png_chunk(out, "zTXt", text);
  }
  const std::uint64_t rows = std::min<std::uint64_t>(r.rows, static_cast<std::uint64_t>(r.height));
  const Bytes stream = r.filter != 0 ? zlib_of_filtered_rows(r, rows)
                                     : zlib_of_repeats(png_image_bytes(r, rows) + r.tail, 0);
  constexpr std::size_t kChunk = 1 << 16;
  for (std::size_t at = 0; at < stream.size(); at += kChunk)
    png_chunk(
        out, "IDAT",
        Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
              stream.begin() + static_cast<std::ptrdiff_t>(std::min(at + kChunk, stream.size()))));
  if (out.size() + 24 <= r.pad_to) png_chunk(out, "prVt", Bytes(r.pad_to - out.size() - 24, 'x'));
  png_chunk(out, "IEND", {});
  if (r.cut_to > 0 && r.cut_to < out.size()) out.resize(r.cut_to);
  return out;
}

}  // namespace hostile
