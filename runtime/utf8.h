// Latin-1 and UTF-8, as the preference files need them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct Utf8Result {
  std::string bytes;     // UTF-8 written
  std::size_t consumed;  // Latin-1 bytes used
};

// Latin-1 to UTF-8, at most `capacity` output bytes (a two-byte sequence is
// written only when both bytes fit).
Utf8Result text_to_utf8(std::string_view latin1, std::size_t capacity);

// UTF-8 to Latin-1: code points above 255, three- and four-byte sequences
// and malformed sequences become "?"; stray continuation bytes are dropped.
std::string text_from_utf8(std::string_view utf8);
