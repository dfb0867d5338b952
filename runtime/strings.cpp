// Strings, numbers and path parts.
#include "runtime/strings.h"

#include <limits>

namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

std::string_view without_leading_quote(std::string_view text) {
  if (!text.empty() && text.front() == '"') text.remove_prefix(1);
  return text;
}

char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

int digit_value(unsigned char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  return value >= 0 && value < base ? value : -1;
}

}  // namespace

std::int32_t string_length(std::string_view text) {
  std::size_t end = text.find('\0');
  return static_cast<std::int32_t>(end == std::string_view::npos ? text.size() : end);
}

std::string string_left(std::string_view text, std::int32_t count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

int string_equal(std::string_view a, std::string_view b) {
  return a == b ? 1 : 0;
}

std::int32_t string_count(std::string_view text, std::string_view pattern) {
  if (text.empty() || pattern.empty()) return 0;
  std::int32_t count = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos;
       at = text.find(pattern, at + pattern.size()))
    ++count;
  return count;
}

std::string string_field(std::string_view text, std::int32_t index, std::string_view separator) {
  if (index < 1) return {};
  std::int32_t field = 1;
  std::size_t start = 0;
  while (true) {
    std::size_t end = separator.empty() ? std::string_view::npos : text.find(separator, start);
    if (field == index)
      return std::string(
          text.substr(start, end == std::string_view::npos ? text.npos : end - start));
    if (end == std::string_view::npos) return {};
    start = end + separator.size();
    ++field;
  }
}

std::string int_to_string(std::int64_t value) {
  // Work on the unsigned magnitude so that the most negative value is exact.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[21];
  int at = 21;
  do {
    digits[--at] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::string text = value < 0 ? "-" : "";
  text.append(digits + at, digits + 21);
  return text;
}

std::int64_t string_to_int(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  } else if (at < text.size() && text[at] == '%') {
    base = 2;
    ++at;
  }
  std::uint64_t value = 0;
  for (; at < text.size(); ++at) {
    int digit = digit_value(static_cast<unsigned char>(text[at]), base);
    if (digit < 0) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  if (negative) value = 0 - value;
  return static_cast<std::int64_t>(value);
}

std::string string_from_memory(const char* text) {
  return std::string(text_of(text));
}

std::string path_part(std::string_view path) {
  path = without_leading_quote(path);
  std::size_t end = path.find('|');
  if (end != std::string_view::npos) path = path.substr(0, end);
  std::size_t last = path.find_last_of("\\/");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string file_part(std::string_view path) {
  path = without_leading_quote(path);
  std::size_t last = path.find_last_of("\\/");
  std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
  return std::string(name.substr(0, name.find('"')));
}

std::string extension_part(std::string_view path) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if (is_separator(path[i])) return {};
    if (path[i] == '.') {
      std::string_view extension = path.substr(i + 1);
      return std::string(extension.substr(0, extension.find('"')));
    }
  }
  return {};
}

bool ascii_equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  return true;
}

bool ascii_starts_with_nocase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && ascii_equal_nocase(text.substr(0, prefix.size()), prefix);
}
