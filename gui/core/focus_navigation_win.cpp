// Focus navigation over the platform's windows; the order itself is in
// gui/core/focus_order.cpp.
#include "gui/core/focus_navigation.h"

#include <windows.h>

#include <string>
#include <vector>

#include "gui/core/focus_order.h"

namespace {

constexpr int kClassNameBuffer = 50;

std::string class_of(HWND window) {
  char name[kClassNameBuffer] = {};
  GetClassNameA(window, name, kClassNameBuffer);
  return name;
}

FocusHandle handle_value(HWND window) {
  return reinterpret_cast<FocusHandle>(window);
}

BOOL CALLBACK collect_stop(HWND window, LPARAM list) {
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  const bool candidate = IsWindowEnabled(window) && IsWindowVisible(window) && (style & WS_TABSTOP);
  reinterpret_cast<std::vector<FocusStop>*>(list)->push_back({handle_value(window), candidate});
  return TRUE;
}

}  // namespace

void focus_navigate(bool forward) {
  const HWND active = GetActiveWindow();
  if (!active) return;
  const HWND focus = GetFocus();
  std::vector<std::string> classes;
  std::vector<FocusAncestor> chain;
  if (focus && IsChild(active, focus)) {
    for (HWND w = focus; w && w != active; w = GetParent(w)) classes.push_back(class_of(w));
    std::size_t i = 0;
    for (HWND w = focus; w && w != active; w = GetParent(w), ++i)
      chain.push_back({handle_value(w), classes[i],
                       static_cast<std::uint32_t>(GetWindowLongPtrA(w, GWL_STYLE))});
  }
  const FocusSearchStart start = focus_search_start(chain, handle_value(active));
  std::vector<FocusStop> stops;
  EnumChildWindows(reinterpret_cast<HWND>(start.root), collect_stop,
                   reinterpret_cast<LPARAM>(&stops));
  if (const FocusHandle next = focus_next(stops, start.current, forward))
    SetFocus(reinterpret_cast<HWND>(next));
}
