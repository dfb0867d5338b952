// EXIF orientation: finding the entry in a JPEG, reading it, setting it to 1.
#include "image/exif_orientation.h"

#include <cstring>
#include <vector>

#include "image/byte_order.h"
#include "image/picture_traits.h"
#include "runtime/file_io.h"

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kNotFound = SIZE_MAX;

struct OrientationEntry {
  std::size_t value_at = kNotFound;  // offset of the 16-bit value in the file
  bool big_endian = false;
};

std::uint16_t read16(const std::uint8_t* p, bool big_endian) {
  return big_endian ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : read_le16(p);
}

std::uint32_t read32(const std::uint8_t* p, bool big_endian) {
  return big_endian ? read_be32(p) : read_le32(p);
}

// The entry inside a TIFF block of `size` bytes that starts at `tiff`.
OrientationEntry find_in_tiff(const std::uint8_t* tiff, std::size_t size) {
  OrientationEntry entry;
  if (size < 8) return entry;
  const bool big = tiff[0] == 'M' && tiff[1] == 'M';
  if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return entry;
  if (read16(tiff + 2, big) != 42) return entry;
  const std::uint32_t directory = read32(tiff + 4, big);
  if (directory > size - 2) return entry;
  const std::size_t count = read16(tiff + directory, big);
  const std::size_t entries = directory + 2;
  for (std::size_t i = 0; i < count && entries + (i + 1) * 12 <= size; ++i) {
    const std::uint8_t* field = tiff + entries + i * 12;
    if (read16(field, big) != kOrientationTag) continue;
    if (read16(field + 2, big) != kTypeShort || read32(field + 4, big) != 1) return entry;
    entry.value_at = static_cast<std::size_t>(field + 8 - tiff);
    entry.big_endian = big;
    return entry;
  }
  return entry;
}

// Walks the segments from the start-of-image marker to the first scan.
OrientationEntry find_in_jpeg(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
  std::size_t at = 2;
  while (at + 4 <= size) {
    if (data[at] != 0xFF) return {};
    const std::uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return {};  // scan or end: no EXIF before it
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;  // markers without a length
      continue;
    }
    const std::size_t length = static_cast<std::size_t>(data[at + 2] << 8 | data[at + 3]);
    if (length < 2 || at + 2 + length > size) return {};
    const std::uint8_t* payload = data + at + 4;
    const std::size_t payload_size = length - 2;
    if (marker == 0xE1 && payload_size >= 6 && std::memcmp(payload, "Exif\0\0", 6) == 0) {
      OrientationEntry entry = find_in_tiff(payload + 6, payload_size - 6);
      if (entry.value_at != kNotFound)
        entry.value_at += static_cast<std::size_t>(payload + 6 - data);
      return entry;
    }
    at += 2 + length;
  }
  return {};
}

}  // namespace

int exif_orientation(const std::uint8_t* jpeg, std::size_t size) {
  if (!jpeg) return ORIENTATION_UPRIGHT;
  const OrientationEntry entry = find_in_jpeg(jpeg, size);
  if (entry.value_at == kNotFound) return ORIENTATION_UPRIGHT;
  const int value = read16(jpeg + entry.value_at, entry.big_endian);
  return value >= 1 && value <= 8 ? value : ORIENTATION_UPRIGHT;
}

bool exif_orientation_reset_file(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (!file_read_whole(name, bytes)) return false;
  const OrientationEntry entry = find_in_jpeg(bytes.data(), bytes.size());
  if (entry.value_at == kNotFound || read16(&bytes[entry.value_at], entry.big_endian) == 1)
    return true;
  bytes[entry.value_at] = entry.big_endian ? 0 : 1;
  bytes[entry.value_at + 1] = entry.big_endian ? 1 : 0;
  OutputFile file;
  return file.create(name) && file.write(bytes.data(), bytes.size()) && file.commit();
}
