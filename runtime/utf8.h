// UTF-8: the Latin-1 conversions the preference files need, and the walk
// over whole characters that the runtime's strings need in the UTF-8 code
// page.
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

// Decodes the character that starts at `at` and moves `at` behind it. False
// (and `at` moved one byte on) for a byte that starts no well-formed
// sequence: a stray continuation byte, a cut or overlong sequence, a
// surrogate or a code point beyond U+10FFFF.
bool utf8_next(std::string_view text, std::size_t& at, char32_t& code);
// The bytes of the character at `at`: its sequence's length when that is
// well-formed, else 1.
std::size_t utf8_sequence_length(std::string_view text, std::size_t at);
// Appends the UTF-8 bytes of a code point.
void utf8_append(std::string& text, char32_t code);
// True when the whole text is well-formed UTF-8.
bool utf8_valid(std::string_view text);
// The text's length in UTF-16 units, as the platform's wide calls count it:
// two for a character beyond U+FFFF, one for every byte of a malformed
// sequence (each becomes a replacement character there).
std::size_t utf8_utf16_length(std::string_view text);
