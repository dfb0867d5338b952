// Stand-in for the gadget handover while the toolkit has no gadget kinds:
// no control is a gadget yet, so no message is handled and every control
// message gets the window procedure's generic treatment. The gadget kinds
// replace this file.
#include "gui/gadget_dispatch.h"

#include "gui/events.h"

std::int64_t gadget_dispatch(HWND, HWND, UINT, WPARAM, LPARAM) {
  return NOT_HANDLED;
}
