// A procedure in front of the window that holds explorer lists. A list view
// tells its parent about every item it inserts or deletes and every item
// parameter that changes, so filling or sorting 10,000 items sends tens of
// thousands of notifications that the toolkit answers with 0 and that raise
// nothing. On its way through the toolkit each one costs several window
// property look-ups, which Wine answers through its server (about 60 us
// each on a loaded machine): seconds for a large directory. This procedure
// gives those notifications their answer at once and passes everything
// else on unchanged.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "gui/explorer_state.h"

namespace {

struct FilteredWindow {
  HWND window;
  WNDPROC previous;
};

std::vector<FilteredWindow>& filtered_windows() {
  static auto* windows = new std::vector<FilteredWindow>();
  return *windows;
}

WNDPROC previous_of(HWND window) {
  for (const FilteredWindow& entry : filtered_windows())
    if (entry.window == window) return entry.previous;
  return nullptr;
}

bool is_explorer_list(HWND control) {
  bool found = false;
  explorer_for_each_state([&](const ExplorerState* state) { found |= state->handle == control; });
  return found;
}

// The answer the toolkit would give to a notification that concerns no
// event, or false for those it must see.
bool bulk_answer(const NMHDR* header, LRESULT* answer) {
  switch (header->code) {
    case LVN_INSERTITEM:
    case LVN_DELETEITEM:
    case LVN_ITEMCHANGING:
    case NM_CUSTOMDRAW:
      *answer = 0;
      return true;
    case LVN_ITEMCHANGED:
      // A change of selection or focus is an event.
      if (reinterpret_cast<const NMLISTVIEW*>(header)->uChanged & LVIF_STATE) return false;
      *answer = 0;
      return true;
    case LVN_DELETEALLITEMS:
      *answer = TRUE;  // and no notification for every single item
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK notification_filter(HWND window, UINT message, WPARAM first, LPARAM second) {
  const WNDPROC previous = previous_of(window);
  if (message == WM_NOTIFY && second) {
    const auto* header = reinterpret_cast<const NMHDR*>(second);
    LRESULT answer = 0;
    if (bulk_answer(header, &answer) && is_explorer_list(header->hwndFrom)) return answer;
  }
  if (message == WM_NCDESTROY) {
    auto& windows = filtered_windows();
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](const FilteredWindow& e) { return e.window == window; }),
                  windows.end());
  }
  return previous ? CallWindowProcA(previous, window, message, first, second)
                  : DefWindowProcA(window, message, first, second);
}

}  // namespace

void explorer_filter_notifications(HWND parent) {
  if (!parent || previous_of(parent)) return;
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(notification_filter)));
  filtered_windows().push_back({parent, previous});
}
