// Exact conversions between the platform's code pages and UTF-16.
#include "runtime/wide_text.h"

#include <windows.h>

#include "runtime/files.h"

namespace {
int size_of(std::size_t length) {
  return static_cast<int>(length);
}
}  // namespace

bool wide_from_text(std::string_view text, unsigned code_page, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  const int length =
      MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size_of(text.size()),
                          nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<std::size_t>(length));
  return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size_of(text.size()),
                             wide.data(), length) == length;
}

bool text_from_wide(std::wstring_view wide, unsigned code_page, std::string& text) {
  text.clear();
  if (wide.empty()) return true;
  // UTF-8 refuses unpaired surrogates with this flag; other code pages take
  // no look-alikes with theirs. Either way the text must convert back to
  // the very same wide text.
  const DWORD flags = code_page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  const int length =
      WideCharToMultiByte(code_page, flags, wide.data(), size_of(wide.size()), nullptr, 0,
                          nullptr, nullptr);
  if (length <= 0) return false;
  text.resize(static_cast<std::size_t>(length));
  if (WideCharToMultiByte(code_page, flags, wide.data(), size_of(wide.size()), text.data(),
                          length, nullptr, nullptr) != length)
    return false;
  std::wstring back;
  return wide_from_text(text, code_page, back) && back == wide;
}

bool wide_from_ansi(std::string_view ansi, std::wstring& wide) {
  return wide_from_text(ansi, CP_ACP, wide);
}

bool ansi_from_wide(std::wstring_view wide, std::string& ansi) {
  return text_from_wide(wide, CP_ACP, ansi);
}

bool wide_path_from_ansi(std::string_view path, std::wstring& wide) {
  if (!wide_from_ansi(path, wide)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return false;
  }
  if (wide.size() >= path_length_limit()) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  return true;
}

std::string ansi_for_display(std::wstring_view wide) {
  if (wide.empty()) return {};
  // "?" rather than a look-alike, which could be the name of another file.
  const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size_of(wide.size()), nullptr,
                                         0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_ACP, flags, wide.data(), size_of(wide.size()), text.data(), length,
                        nullptr, nullptr);
  return text;
}
