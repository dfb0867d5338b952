// Parsing and writing preference text.
#include "prefs/prefs_text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_line_end(char c) {
  return c == '\r' || c == '\n';
}

// The rest of the current line from `at`, cut at a zero byte; `at` moves to
// the line's end.
std::string_view rest_of_line(std::string_view bytes, std::size_t& at) {
  std::size_t start = at;
  while (at < bytes.size() && !is_line_end(bytes[at])) ++at;
  std::string_view line = bytes.substr(start, at - start);
  return line.substr(0, line.find('\0'));
}

PrefsLine parse_key_line(std::string_view line) {
  std::size_t equals = line.find('=');
  std::string_view key = line.substr(0, equals);
  while (!key.empty() && is_blank(key.back())) key.remove_suffix(1);
  std::string_view value;
  if (equals != std::string_view::npos) {
    value = line.substr(equals + 1);
    while (!value.empty() && is_blank(value.front())) value.remove_prefix(1);
  }
  return PrefsLine{PrefsTag::Key, std::string(key), std::string(value)};
}

}  // namespace

ParsedPrefs prefs_parse(std::string_view bytes) {
  ParsedPrefs parsed;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    parsed.code_page = PREFS_CODE_PAGE_UTF8;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  std::size_t at = 0;
  while (at < bytes.size()) {
    while (at < bytes.size() && (is_blank(bytes[at]) || is_line_end(bytes[at]))) ++at;
    if (at == bytes.size()) break;
    if (bytes[at] == ';') {
      ++at;
      if (at < bytes.size() && bytes[at] == ' ') ++at;
      parsed.lines.push_back(
          PrefsLine{PrefsTag::Comment, {}, std::string(rest_of_line(bytes, at))});
    } else if (bytes[at] == '[') {
      ++at;
      std::string_view line = rest_of_line(bytes, at);
      parsed.lines.push_back(
          PrefsLine{PrefsTag::Group, {}, std::string(line.substr(0, line.find(']')))});
    } else {
      parsed.lines.push_back(parse_key_line(rest_of_line(bytes, at)));
    }
  }
  return parsed;
}

std::string prefs_serialize(const PrefsLines& lines, int code_page, int flags) {
  std::string out;
  if (code_page == PREFS_CODE_PAGE_UTF8) {
    out += kByteOrderMark;
    out += "\r\n";
  }
  bool first_group = true;
  for (const PrefsLine& line : lines) {
    switch (line.tag) {
      case PrefsTag::Group:
        if ((flags & PREFS_GROUP_SPACING) && !first_group) out += "\r\n";
        first_group = false;
        out += '[';
        out += line.text;
        out += ']';
        break;
      case PrefsTag::Comment:
        out += "; ";
        out += line.text;
        break;
      case PrefsTag::Key:
        out += line.key;
        out += (flags & PREFS_COMPACT) ? "=" : " = ";
        out += line.text;
        break;
    }
    out += "\r\n";
  }
  // A first key that begins with the mark's bytes would read back as a mark:
  // a leading blank, which reading skips, keeps it a key.
  if (code_page != PREFS_CODE_PAGE_UTF8 &&
      out.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
    out.insert(out.begin(), ' ');
  return out;
}
