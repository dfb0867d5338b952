// The host build's code page is UTF-8, as the program declares for itself;
// characters are lower-cased by the C library's UTF-8 rules.
#include "runtime/strings.h"

#include <locale.h>
#include <wctype.h>

#include "runtime/utf8.h"

namespace {
// Loaded once and kept for the process; null when the C library lacks it,
// and then only ASCII letters are lowered.
locale_t utf8_locale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}
}  // namespace

std::string string_lower(std::string_view text) {
  std::string lower;
  lower.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    char32_t code = 0;
    if (!utf8_next(text, at, code)) {
      lower.push_back(text[start]);
    } else if (code < 0x80) {
      lower.push_back(code >= 'A' && code <= 'Z' ? static_cast<char>(code + 32)
                                                 : static_cast<char>(code));
    } else {
      const locale_t locale = utf8_locale();
      utf8_append(lower, locale ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(code), locale))
                                : code);
    }
  }
  return lower;
}

bool ansi_is_utf8() {
  return true;
}

std::size_t ansi_wide_length(std::string_view text) {
  return utf8_utf16_length(text);
}

std::string ansi_from_utf8(std::string_view utf8) {
  return std::string(utf8);
}
