// BMP header checks, the alpha rule and the BMP writer.
#include "image/bmp_codec.h"

#include <cstring>
#include <vector>

#include "image/byte_order.h"
#include "image/colour_reduce.h"
#include "image/pixel_layout.h"
#include "runtime/file_io.h"

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionBitfields = 3;

}  // namespace

bool bmp_parse(const std::uint8_t* data, std::uint32_t size, BmpLayout* layout) {
  if (!data || size < kFileHeaderSize + kInfoHeaderSize) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  const DibHeader header = read_dib_header(data + kFileHeaderSize);
  const std::uint64_t header_size = header.header_size;
  const std::int32_t width = header.width, height = header.height;
  const int planes = header.planes, bit_count = header.bit_count;
  const std::uint32_t compression = header.compression;
  std::uint64_t colours_used = header.colours_used;
  if (header_size < kInfoHeaderSize || kFileHeaderSize + header_size > size) return false;
  if (width <= 0 || width > IMAGE_MAX_DIMENSION) return false;
  if (height == 0 || height < -IMAGE_MAX_DIMENSION || height > IMAGE_MAX_DIMENSION) return false;
  if (planes != 1 || !is_dib_bit_count(bit_count)) return false;
  bool bitfields = compression == kCompressionBitfields && (bit_count == 16 || bit_count == 32);
  if (compression != kCompressionRgb && !bitfields) return false;
  // Masks follow a 40-byte header or sit inside a longer one, never across its end.
  if (bitfields && header_size > kInfoHeaderSize && header_size < kInfoHeaderSize + 12)
    return false;
  if (bit_count <= 8) {
    std::uint64_t palette_limit = 1ull << bit_count;
    if (colours_used == 0) colours_used = palette_limit;
    if (colours_used > palette_limit) return false;
  } else if (colours_used > 256) {
    return false;
  }
  std::uint64_t masks = bitfields && header_size == kInfoHeaderSize ? 12 : 0;
  std::uint64_t info_size = header_size + masks + colours_used * 4;
  std::uint64_t pixel_offset = read_le32(data + 10);
  std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  std::uint64_t pixel_bytes = static_cast<std::uint64_t>(image_row_pitch(width, bit_count)) * rows;
  if (kFileHeaderSize + info_size > size) return false;
  if (pixel_offset < kFileHeaderSize + header_size + masks) return false;
  if (pixel_offset > size || pixel_bytes > size - pixel_offset) return false;
  *layout = BmpLayout{width,
                      static_cast<int>(rows),
                      height < 0,
                      bit_count,
                      static_cast<std::uint32_t>(info_size),
                      static_cast<std::uint32_t>(pixel_offset),
                      pixel_bytes};
  return true;
}

void bmp_make_opaque_if_no_alpha(std::uint8_t* bits, int width, int height, std::int64_t pitch) {
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = bits + y * pitch;
    for (int x = 0; x < width; ++x)
      if (row[x * 4 + 3] != 0) return;
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bits + y * pitch;
    for (int x = 0; x < width; ++x) row[x * 4 + 3] = 255;
  }
}

namespace {

bool write_headers(OutputFile& file, int width, int height, int depth, std::uint32_t row_size,
                   std::uint32_t palette_entries) {
  std::uint32_t pixel_offset = kFileHeaderSize + kInfoHeaderSize + 4 * palette_entries;
  std::uint32_t image_size = row_size * static_cast<std::uint32_t>(height);
  std::uint8_t headers[kFileHeaderSize + kInfoHeaderSize] = {'B', 'M'};
  write_le32(headers + 2, pixel_offset + image_size);
  write_le32(headers + 10, pixel_offset);
  std::uint8_t* info = headers + kFileHeaderSize;
  write_le32(info, kInfoHeaderSize);
  write_le32(info + 4, static_cast<std::uint32_t>(width));
  write_le32(info + 8, static_cast<std::uint32_t>(height));
  write_le16(info + 12, 1);
  write_le16(info + 14, static_cast<std::uint32_t>(depth));
  write_le32(info + 20, image_size);
  return file.write(headers, sizeof headers);
}

// Depths 1, 4 and 8: the palette of the colour reduction and packed rows.
bool write_palette_pixels(OutputFile& file, const std::uint8_t* bits, int width, int height,
                          std::int64_t pitch, int store_depth, bool bottom_up, int depth,
                          std::uint32_t row_size) {
  ColourReduction* reduction = colour_reduce(bits, width, height, store_depth, pitch, depth);
  if (!reduction) return false;
  bool ok = true;
  const int entries = 1 << depth;
  for (int i = 0; i < entries && ok; ++i) {
    const std::uint8_t entry[4] = {reduction->palette[i][0], reduction->palette[i][1],
                                   reduction->palette[i][2], 0};
    ok = file.write(entry, 4);
  }
  const int packed = colour_reduce_row_bytes(width, depth);
  std::vector<std::uint8_t> row(row_size, 0);
  for (int picture_row = 0; picture_row < height && ok; ++picture_row) {
    int memory_row = bottom_up ? picture_row : height - 1 - picture_row;
    std::memcpy(row.data(), colour_reduce_row(reduction, memory_row),
                static_cast<std::size_t>(packed));
    ok = file.write(row.data(), row.size());
  }
  colour_reduce_free(reduction);
  return ok;
}

// Depths 24 and 32: the store in one piece when it already has the file's
// layout, otherwise row by row (32-bit pixels flattened onto white).
bool write_true_colour_pixels(OutputFile& file, const std::uint8_t* bits, int width, int height,
                              std::int64_t pitch, int store_depth, bool bottom_up, int depth,
                              std::uint32_t row_size) {
  if (store_depth == depth && bottom_up && pitch == row_size)
    return file.write(bits, static_cast<std::size_t>(row_size) * height);
  std::vector<std::uint8_t> row(row_size, 0);
  for (int picture_row = 0; picture_row < height; ++picture_row) {
    int memory_row = bottom_up ? picture_row : height - 1 - picture_row;
    const std::uint8_t* source = bits + memory_row * pitch;
    for (int x = 0; x < width; ++x) {
      std::uint8_t* target = row.data() + x * (depth / 8);
      if (store_depth == 32) {
        const std::uint8_t* pixel = source + x * 4;
        for (int c = 0; c < 3; ++c) target[c] = flatten_onto_white(pixel[c], pixel[3]);
      } else {
        std::memcpy(target, source + x * 3, 3);
      }
      if (depth == 32) target[3] = 0;
    }
    if (!file.write(row.data(), row.size())) return false;
  }
  return true;
}

std::uint32_t bmp_row_size(int width, int depth) {
  std::uint32_t packed = static_cast<std::uint32_t>(
      depth <= 8 ? colour_reduce_row_bytes(width, depth) : depth / 8 * width);
  std::uint32_t size = (packed + 3) / 4 * 4;
  return size ? size : 4;
}

}  // namespace

int bmp_write(const char* file_name, const std::uint8_t* bits, int width, int height,
              std::int64_t pitch, int store_depth, int flags, int /*quality*/, int depth) {
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return 0;
  if (!file_name || !*file_name || !bits || width <= 0 || height <= 0) return 0;
  if (store_depth != 24 && store_depth != 32) return 0;
  const std::uint32_t row_size = bmp_row_size(width, depth);
  const std::uint32_t palette_entries = depth <= 8 ? 1u << depth : 0;
  const bool bottom_up = (flags & ROWS_BOTTOM_UP) != 0;
  OutputFile file;
  if (!file.create(file_name) ||
      !write_headers(file, width, height, depth, row_size, palette_entries))
    return 0;
  bool ok = depth <= 8 ? write_palette_pixels(file, bits, width, height, pitch, store_depth,
                                              bottom_up, depth, row_size)
                       : write_true_colour_pixels(file, bits, width, height, pitch, store_depth,
                                                  bottom_up, depth, row_size);
  return ok && file.commit() ? 1 : 0;
}
