// Sort keys of names in the user's collation, as the shell orders them.
#include "gui/explorer/explorer_rules.h"

#include <windows.h>

std::string explorer_order_key(std::string_view text) {
  const int length = static_cast<int>(text.size());
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int size = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, nullptr, 0);
  if (size <= 0) return std::string(text);
  std::string key(static_cast<std::size_t>(size), '\0');
  LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, key.data(), size);
  while (!key.empty() && key.back() == '\0') key.pop_back();
  return key;
}
