// Order keys on the host build: lower case by the ANSI code page.
#include "gui/explorer/explorer_rules.h"

#include "runtime/strings.h"

std::string explorer_order_key(std::string_view text) {
  return string_lower(text);
}
