// Little- and big-endian field readers for file headers held in memory.
#pragma once

#include <cstdint>

inline std::uint16_t read_le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t read_le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint32_t read_be32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

inline void write_le16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void write_le32(std::uint8_t* p, std::uint32_t v) {
  write_le16(p, v);
  write_le16(p + 2, v >> 16);
}

// The fields of a 40-byte device-independent bitmap information header
// (BMP files and icon images); the caller makes sure 40 bytes are there.
struct DibHeader {
  std::uint32_t header_size;
  std::int32_t width;
  std::int32_t height;
  int planes;
  int bit_count;
  std::uint32_t compression;
  std::uint32_t colours_used;
};

inline DibHeader read_dib_header(const std::uint8_t* p) {
  return DibHeader{read_le32(p),
                   static_cast<std::int32_t>(read_le32(p + 4)),
                   static_cast<std::int32_t>(read_le32(p + 8)),
                   read_le16(p + 12),
                   read_le16(p + 14),
                   read_le32(p + 16),
                   read_le32(p + 32)};
}
