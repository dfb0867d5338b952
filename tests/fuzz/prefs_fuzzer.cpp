// Fuzz target: any bytes as a preference file must parse, and writing the
// parsed lines back and parsing that again must give the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "prefs/prefs_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ParsedPrefs first = prefs_parse(bytes);
  for (int flags : {0, PREFS_COMPACT, PREFS_COMPACT | PREFS_GROUP_SPACING}) {
    const ParsedPrefs again = prefs_parse(prefs_serialize(first.lines, first.code_page, flags));
    if (again.lines != first.lines || again.code_page != first.code_page) std::abort();
  }
  return 0;
}
