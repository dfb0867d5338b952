// The ANSI code page's rules, from the platform.
#include "runtime/strings.h"

#include <windows.h>

#include "runtime/wide_text.h"

std::string string_lower(std::string_view text) {
  std::wstring wide;
  std::string lower;
  // Whole characters, through their UTF-16 form; a text that is not valid
  // in the code page has only its ASCII letters lowered, byte by byte,
  // so that no byte of a character is changed on its own.
  if (wide_from_ansi(text, wide)) {
    CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    if (ansi_from_wide(wide, lower)) return lower;
  }
  lower.assign(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return lower;
}

bool ansi_is_utf8() {
  return GetACP() == CP_UTF8;
}

std::size_t ansi_wide_length(std::string_view text) {
  if (text.empty()) return 0;
  return static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0));
}

std::string ansi_from_utf8(std::string_view utf8) {
  if (ansi_is_utf8()) return std::string(utf8);
  std::wstring wide;
  if (!wide_from_text(utf8, CP_UTF8, wide)) return std::string(utf8);
  return ansi_for_display(wide);
}
