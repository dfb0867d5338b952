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

#include "gui/explorer/explorer_state.h"
#include "gui/gadgets/gadget_kind.h"

namespace {

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
      if (explorer_selection_changed(reinterpret_cast<const NMLISTVIEW*>(header))) return false;
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
  if (message == WM_NOTIFY && second) {
    const auto* header = reinterpret_cast<const NMHDR*>(second);
    LRESULT answer = 0;
    if (bulk_answer(header, &answer) && explorer_state_of(header->hwndFrom)) return answer;
  }
  return window_pass_on(notification_filter, window, message, first, second);
}

}  // namespace

void explorer_filter_notifications(HWND parent) {
  window_subclass(parent, notification_filter);
}
