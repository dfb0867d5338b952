// BMP pixels into a pixel store on the host build, which has no DIB
// transfer: the same conversion done by hand. Palette pictures take their
// colours from the table (an index past it reads as black), 16- and 32-bit
// pictures their channels from the masks (5-5-5 and 8-8-8 without them),
// each channel widened to 8 bits by repeating its top bits. 32-bit pictures
// without masks keep their fourth byte as alpha.
#include "image/bmp_codec.h"

#include <bit>
#include <cstring>

#include "image/byte_order.h"
#include "image/pixel_layout.h"

namespace {

constexpr std::uint32_t kInfoHeaderOffset = 14;
constexpr std::uint32_t kCompressionBitfields = 3;

struct Channel {
  std::uint32_t mask;
  int shift;
  int bits;
};

Channel channel_of(std::uint32_t mask) {
  if (mask == 0) return Channel{0, 0, 0};
  const int shift = std::countr_zero(mask);
  return Channel{mask, shift, std::countr_one(mask >> shift)};
}

std::uint8_t widen(std::uint32_t pixel, const Channel& c) {
  if (c.bits == 0) return 0;
  std::uint32_t value = (pixel & c.mask) >> c.shift;
  if (c.bits >= 8) return static_cast<std::uint8_t>(value >> (c.bits - 8));
  std::uint32_t wide = 0;
  for (int filled = 0; filled < 8; filled += c.bits) wide |= value << (8 - c.bits) >> filled;
  return static_cast<std::uint8_t>(wide);
}

struct Conversion {
  const std::uint8_t* palette;  // blue, green, red, unused per entry
  std::uint32_t colours;
  Channel red, green, blue;
  bool masked;
};

Conversion conversion_of(const std::uint8_t* data, const BmpLayout& layout) {
  const std::uint8_t* info = data + kInfoHeaderOffset;
  const DibHeader header = read_dib_header(info);
  Conversion c{};
  if (layout.bit_count <= 8) {
    c.palette = info + header.header_size;
    c.colours = header.colours_used ? header.colours_used : 1u << layout.bit_count;
  } else if (header.compression == kCompressionBitfields) {
    // Masks follow a 40-byte header and sit at the same place in longer ones.
    c.red = channel_of(read_le32(info + 40));
    c.green = channel_of(read_le32(info + 44));
    c.blue = channel_of(read_le32(info + 48));
    c.masked = true;
  } else if (layout.bit_count == 16) {
    c.red = channel_of(0x7C00);
    c.green = channel_of(0x03E0);
    c.blue = channel_of(0x001F);
    c.masked = true;
  }
  return c;
}

void convert_row(const Conversion& c, int bit_count, const std::uint8_t* in, std::uint8_t* out,
                 int width, int out_bytes) {
  for (int x = 0; x < width; ++x, out += out_bytes) {
    if (bit_count <= 8) {
      const int per_byte = 8 / bit_count;
      const int shift = 8 - bit_count * (x % per_byte + 1);
      const std::uint32_t index = (in[x / per_byte] >> shift) & ((1u << bit_count) - 1);
      if (index < c.colours)
        std::memcpy(out, c.palette + index * 4, 3);
      else
        std::memset(out, 0, 3);
    } else if (c.masked) {
      const std::uint32_t pixel = bit_count == 16 ? read_le16(in + x * 2) : read_le32(in + x * 4);
      out[0] = widen(pixel, c.blue);
      out[1] = widen(pixel, c.green);
      out[2] = widen(pixel, c.red);
      if (out_bytes == 4) out[3] = 0;
    } else {
      std::memcpy(out, in + x * (bit_count / 8), static_cast<std::size_t>(out_bytes));
    }
  }
}

}  // namespace

PixelStore bmp_read(const std::uint8_t* data, std::uint32_t size, int* source_depth) {
  BmpLayout layout{};
  if (!bmp_parse(data, size, &layout)) return nullptr;
  const int store_depth = layout.bit_count > 24 ? 32 : 24;
  PixelStore store = pixel_store_create(layout.width, layout.height, store_depth);
  PixelStoreInfo pixels{};
  if (!store || !pixel_store_info(store, &pixels)) {
    pixel_store_delete(store);
    return nullptr;
  }
  const Conversion conversion = conversion_of(data, layout);
  const std::int64_t file_pitch = image_row_pitch(layout.width, layout.bit_count);
  for (int row = 0; row < layout.height; ++row) {
    const int memory_row = layout.top_down ? layout.height - 1 - row : row;
    convert_row(conversion, layout.bit_count, data + layout.pixel_offset + row * file_pitch,
                pixels.bits + memory_row * pixels.pitch, layout.width, store_depth / 8);
  }
  if (store_depth == 32)
    bmp_make_opaque_if_no_alpha(pixels.bits, layout.width, layout.height, pixels.pitch);
  *source_depth = layout.bit_count;
  return store;
}
