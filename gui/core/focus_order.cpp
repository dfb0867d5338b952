// Focus navigation order.
#include "gui/core/focus_order.h"

namespace {

bool is_composite(const FocusAncestor& window) {
  return (window.class_name == "ComboBoxEx32" && (window.style & 1) != 0) ||
         window.class_name == "SysIPAddress32";
}

}  // namespace

FocusSearchStart focus_search_start(std::span<const FocusAncestor> chain, FocusHandle active) {
  FocusSearchStart start{active, chain.empty() ? 0 : chain.front().handle};
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const FocusAncestor& window = chain[i];
    if (window.class_name == "MDI_ChildClass") {
      start.root = window.handle;
      if (i == 0) start.current = 0;
      break;  // what lies above the child is outside the search
    }
    if (is_composite(window)) start.current = window.handle;
  }
  return start;
}

FocusHandle focus_next(std::span<const FocusStop> stops, FocusHandle current, bool forward) {
  std::size_t at = stops.size();
  if (current)
    for (std::size_t i = 0; i < stops.size(); ++i)
      if (stops[i].handle == current) {
        at = i;
        break;
      }
  FocusHandle first = 0, last = 0, before = 0, after = 0;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (!stops[i].candidate) continue;
    if (!first) first = stops[i].handle;
    last = stops[i].handle;
    if (at < stops.size() && i < at) before = stops[i].handle;
    if (at < stops.size() && i > at && !after) after = stops[i].handle;
  }
  if (forward) return after ? after : first;
  return before ? before : last;
}
