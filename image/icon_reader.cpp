// Icon directory checks.
#include "image/icon_reader.h"

#include "image/byte_order.h"
#include "image/pixel_layout.h"

namespace {

constexpr std::uint32_t kDirectoryHeader = 6;
constexpr std::uint32_t kEntrySize = 16;
constexpr std::uint32_t kBitmapHeader = 40;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool check_png_image(const std::uint8_t* bytes, std::uint32_t size, IconImage* image) {
  // Signature, then the IHDR chunk: length, "IHDR", width, height (big-endian).
  if (size < 33) return false;
  for (int i = 0; i < 8; ++i)
    if (bytes[i] != kPngSignature[i]) return false;
  if (bytes[12] != 'I' || bytes[13] != 'H' || bytes[14] != 'D' || bytes[15] != 'R') return false;
  std::uint32_t width = read_be32(bytes + 16), height = read_be32(bytes + 20);
  if (!size_fits_model(width, height)) return false;
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->png = true;
  return true;
}

bool check_bitmap_image(const std::uint8_t* bytes, std::uint32_t size, IconImage* image) {
  if (size < kBitmapHeader) return false;
  const DibHeader header = read_dib_header(bytes);
  const std::uint32_t header_size = header.header_size;
  const std::int32_t width = header.width, double_height = header.height;
  const int planes = header.planes, bit_count = header.bit_count;
  const std::uint32_t compression = header.compression;
  std::uint64_t colours = header.colours_used;
  if (header_size < kBitmapHeader || header_size > size) return false;
  if (double_height <= 0 || !size_fits_model(width, double_height / 2)) return false;
  if (planes != 1 || compression != 0) return false;
  if (!is_dib_bit_count(bit_count)) return false;
  if (bit_count <= 8) {
    if (colours == 0 || colours > (1ull << bit_count)) colours = 1ull << bit_count;
  } else {
    colours = 0;
  }
  std::int64_t rows = double_height / 2;
  std::uint64_t needed = header_size + colours * 4 +
                         static_cast<std::uint64_t>(image_row_pitch(width, bit_count)) * rows +
                         static_cast<std::uint64_t>(image_row_pitch(width, 1)) * rows;
  if (needed > size) return false;
  image->width = width;
  image->height = static_cast<int>(rows);
  image->png = false;
  return true;
}

}  // namespace

bool icon_select_image(const std::uint8_t* data, std::uint32_t size, IconImage* image) {
  if (!data || size < kDirectoryHeader + kEntrySize) return false;
  if (read_le16(data) != 0 || read_le16(data + 2) != 1) return false;
  std::uint32_t count = read_le16(data + 4);
  if (count == 0 || kDirectoryHeader + kEntrySize * count > size) return false;
  const std::uint8_t* first = data + kDirectoryHeader;
  const std::uint8_t* best = first;
  for (std::uint32_t i = 1; i < count; ++i) {
    const std::uint8_t* entry = first + i * kEntrySize;
    if (entry[0] == first[0] && entry[1] == first[1] && read_le16(entry + 6) > read_le16(best + 6))
      best = entry;
  }
  std::uint32_t bytes = read_le32(best + 8), offset = read_le32(best + 12);
  if (offset > size || bytes > size - offset || bytes == 0) return false;
  image->offset = offset;
  image->size = bytes;
  image->bit_count = read_le16(best + 6);
  return check_png_image(data + offset, bytes, image) ||
         check_bitmap_image(data + offset, bytes, image);
}
