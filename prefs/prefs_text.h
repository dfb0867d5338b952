// The preference file's text: parsing bytes into an ordered list of lines
// and writing the list back, with no file in sight.
#pragma once

#include <list>
#include <string>
#include <string_view>

constexpr int PREFS_COMPACT = 1;        // "key=value" instead of "key = value"
constexpr int PREFS_GROUP_SPACING = 2;  // an empty line before every group header but the first

constexpr int PREFS_CODE_PAGE_UTF8 = 65001;

enum class PrefsTag { Group = 1, Comment = 2, Key = 3 };

struct PrefsLine {
  PrefsTag tag;
  std::string key;   // key lines only
  std::string text;  // group name, comment text or value, as stored in the file
  bool operator==(const PrefsLine&) const = default;
};

using PrefsLines = std::list<PrefsLine>;

struct ParsedPrefs {
  PrefsLines lines;
  int code_page = 0;  // PREFS_CODE_PAGE_UTF8 when the bytes began with the byte-order mark
};

// Any bytes parse: line ends are "\r", "\n" or both, empty lines and leading
// blanks are skipped, and a zero byte ends the text of its line.
ParsedPrefs prefs_parse(std::string_view bytes);

// The whole file's bytes for a list of lines.
std::string prefs_serialize(const PrefsLines& lines, int code_page, int flags);
