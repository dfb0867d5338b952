// SHA-256 (FIPS 180-4), for checking a downloaded program against the digest
// it must have.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  void update(std::span<const std::uint8_t> bytes);
  // The digest of everything given; the object is spent afterwards.
  Sha256Digest finish();

 private:
  void compress(const std::uint8_t* block);
  std::array<std::uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<std::uint8_t, 64> block_{};
  std::size_t block_used_ = 0;
  std::uint64_t total_bytes_ = 0;
};

Sha256Digest sha256(std::span<const std::uint8_t> bytes);
// Lower-case hexadecimal, 64 characters.
std::string sha256_hex(const Sha256Digest& digest);
// The hexadecimal digest of a whole file; empty when it cannot be read.
std::string sha256_file_hex(std::string_view path);
