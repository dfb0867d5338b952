// Latin-1 and UTF-8 conversions.
#include "runtime/utf8.h"

namespace {

bool is_continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Length of the sequence a lead byte starts, or 0 for a byte that starts none.
int sequence_length(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

Utf8Result text_to_utf8(std::string_view latin1, std::size_t capacity) {
  Utf8Result result{{}, 0};
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      if (result.bytes.size() + 1 > capacity) break;
      result.bytes.push_back(static_cast<char>(c));
    } else {
      if (result.bytes.size() + 2 > capacity) break;
      result.bytes.push_back(static_cast<char>(0xC0 + c / 64));
      result.bytes.push_back(static_cast<char>(0x80 + c % 64));
    }
    ++result.consumed;
  }
  return result;
}

std::string text_from_utf8(std::string_view utf8) {
  std::string latin1;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const int length = sequence_length(lead);
    if (length == 0) {  // a stray continuation or invalid byte
      ++at;
      continue;
    }
    if (length == 1) {
      latin1.push_back(static_cast<char>(lead));
      ++at;
      continue;
    }
    int complete = 1;
    while (complete < length && at + complete < utf8.size() &&
           is_continuation(static_cast<unsigned char>(utf8[at + complete])))
      ++complete;
    if (complete < length) {  // malformed: resume at the first non-continuation byte
      latin1.push_back('?');
      at += complete;
      continue;
    }
    if (length == 2) {
      unsigned code = (lead & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[at + 1]) & 0x3Fu);
      latin1.push_back(code < 256 ? static_cast<char>(code) : '?');
    } else {
      latin1.push_back('?');
    }
    at += static_cast<std::size_t>(length);
  }
  return latin1;
}

bool utf8_next(std::string_view text, std::size_t& at, char32_t& code) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const int length = sequence_length(lead);
  if (length == 1) {
    code = lead;
    ++at;
    return true;
  }
  if (length == 0 || at + length > text.size()) {
    ++at;
    return false;
  }
  char32_t value = lead & (0x7Fu >> length);
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if (!is_continuation(next)) {
      ++at;
      return false;
    }
    value = value << 6 | (next & 0x3Fu);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++at;
    return false;
  }
  code = value;
  at += static_cast<std::size_t>(length);
  return true;
}

std::size_t utf8_sequence_length(std::string_view text, std::size_t at) {
  const std::size_t start = at;
  char32_t code = 0;
  utf8_next(text, at, code);
  return at - start;
}

void utf8_append(std::string& text, char32_t code) {
  if (code < 0x80) {
    text.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text.push_back(static_cast<char>(0xC0 | code >> 6));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | code >> 12));
    text.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | code >> 18));
    text.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool utf8_valid(std::string_view text) {
  char32_t code = 0;
  for (std::size_t at = 0; at < text.size();)
    if (!utf8_next(text, at, code)) return false;
  return true;
}

std::size_t utf8_utf16_length(std::string_view text) {
  std::size_t units = 0;
  char32_t code = 0;
  for (std::size_t at = 0; at < text.size();)
    units += utf8_next(text, at, code) && code > 0xFFFF ? 2 : 1;
  return units;
}
