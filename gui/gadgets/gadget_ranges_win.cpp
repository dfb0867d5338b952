// Progress bar and track bar gadgets: a position within a range. The resize
// job moves a progress bar from its own thread; the messages it sends run
// on the window's thread.
#include "gui/gadgets/gadgets.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "gui/gadgets/gadget_kind.h"

namespace {

constexpr DWORD kProgressStyle = 0x50000000;  // child, visible
constexpr DWORD kTrackBarStyle = 0x50010000;  // child, visible, tab stop
constexpr LPARAM kPlatformDefaultColour = static_cast<LPARAM>(0xFF000000);

struct ProgressFields {
  std::int64_t back_color;
  std::int64_t front_color;
};

// Progress bar.
std::int64_t progress_get_state(GadgetObject* gadget) {
  return SendMessageA(gadget->handle, PBM_GETPOS, 0, 0);
}

void progress_set_state(GadgetObject* gadget, std::int64_t value) {
  SendMessageA(gadget->handle, PBM_SETPOS, static_cast<WPARAM>(static_cast<std::int32_t>(value)),
               0);
}

std::int64_t progress_limit(GadgetObject* gadget, bool low) {
  return static_cast<int>(SendMessageA(gadget->handle, PBM_GETRANGE, low ? TRUE : FALSE, 0));
}

std::int64_t progress_get_attribute(GadgetObject* gadget, std::int64_t attribute) {
  if (attribute != RANGE_MINIMUM && attribute != RANGE_MAXIMUM) return 0;
  return progress_limit(gadget, attribute == RANGE_MINIMUM);
}

// Setting one limit keeps the other.
void progress_set_attribute(GadgetObject* gadget, std::int64_t attribute, std::int64_t value) {
  std::int64_t minimum = progress_limit(gadget, true), maximum = progress_limit(gadget, false);
  if (attribute == RANGE_MINIMUM)
    minimum = value;
  else if (attribute == RANGE_MAXIMUM)
    maximum = value;
  else
    return;
  SendMessageA(gadget->handle, PBM_SETRANGE32, static_cast<WPARAM>(minimum),
               static_cast<LPARAM>(maximum));
}

void progress_set_color(GadgetObject* gadget, std::int64_t which, std::int64_t color) {
  ProgressFields& fields = gadget_fields<ProgressFields>(gadget);
  const LPARAM platform =
      color == GADGET_DEFAULT_COLOR ? kPlatformDefaultColour : static_cast<LPARAM>(color);
  if (which == COLOR_FRONT) {
    fields.front_color = color;
    SendMessageA(gadget->handle, PBM_SETBARCOLOR, 0, platform);
  } else if (which == COLOR_BACK) {
    fields.back_color = color;
    SendMessageA(gadget->handle, PBM_SETBKCOLOR, 0, platform);
  }
}

std::int64_t progress_get_color(GadgetObject* gadget, std::int64_t which) {
  const ProgressFields& fields = gadget_fields<ProgressFields>(gadget);
  if (which == COLOR_FRONT) return fields.front_color;
  if (which == COLOR_BACK) return fields.back_color;
  return GADGET_DEFAULT_COLOR;
}

// Track bar. A vertical bar has its minimum at the bottom, so its logical
// value is the platform position mirrored within the range.
bool vertical(GadgetObject* gadget) {
  return (GetWindowLongPtrA(gadget->handle, GWL_STYLE) & TBS_VERT) != 0;
}

std::int64_t trackbar_minimum(GadgetObject* gadget) {
  return SendMessageA(gadget->handle, TBM_GETRANGEMIN, 0, 0);
}
std::int64_t trackbar_maximum(GadgetObject* gadget) {
  return SendMessageA(gadget->handle, TBM_GETRANGEMAX, 0, 0);
}

std::int64_t trackbar_get_state(GadgetObject* gadget) {
  const std::int64_t position = SendMessageA(gadget->handle, TBM_GETPOS, 0, 0);
  if (!vertical(gadget)) return position;
  return trackbar_minimum(gadget) + trackbar_maximum(gadget) - position;
}

void trackbar_set_state(GadgetObject* gadget, std::int64_t value) {
  const std::int64_t position =
      vertical(gadget) ? trackbar_minimum(gadget) + trackbar_maximum(gadget) - value : value;
  SendMessageA(gadget->handle, TBM_SETPOS, TRUE,
               static_cast<LPARAM>(static_cast<std::int32_t>(position)));
}

std::int64_t trackbar_get_attribute(GadgetObject* gadget, std::int64_t attribute) {
  if (attribute == RANGE_MINIMUM) return trackbar_minimum(gadget);
  if (attribute == RANGE_MAXIMUM) return trackbar_maximum(gadget);
  return 0;
}

// The logical value stays where it was when a limit moves.
void trackbar_set_attribute(GadgetObject* gadget, std::int64_t attribute, std::int64_t value) {
  if (attribute != RANGE_MINIMUM && attribute != RANGE_MAXIMUM) return;
  const std::int64_t logical = trackbar_get_state(gadget);
  SendMessageA(gadget->handle, attribute == RANGE_MINIMUM ? TBM_SETRANGEMIN : TBM_SETRANGEMAX, TRUE,
               static_cast<LPARAM>(value));
  trackbar_set_state(gadget, logical);
}

// Every scroll message of a drag queues the same event, so a drag reaches
// the application as one event while they queue back to back.
std::int64_t trackbar_parent_message(GadgetObject* gadget, HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_HSCROLL || message == WM_VSCROLL)
    gadget_post_event(gadget->handle, EVENT_TYPE_LEFT_CLICK);
  return NOT_HANDLED;
}

constexpr GadgetKind kProgressKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_PROGRESS);
  kind.get_state = progress_get_state;
  kind.set_state = progress_set_state;
  kind.get_attribute = progress_get_attribute;
  kind.set_attribute = progress_set_attribute;
  kind.set_color = progress_set_color;
  kind.get_color = progress_get_color;
  return kind;
}();

constexpr GadgetKind kTrackBarKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_TRACKBAR);
  kind.on_parent_message = trackbar_parent_message;
  kind.get_state = trackbar_get_state;
  kind.set_state = trackbar_set_state;
  kind.get_attribute = trackbar_get_attribute;
  kind.set_attribute = trackbar_set_attribute;
  return kind;
}();

}  // namespace

std::uintptr_t gadget_create_progress(object_number number, int x, int y, int width, int height,
                                      int minimum, int maximum, std::uint32_t flags) {
  const HWND control = gadget_create_control(PROGRESS_CLASSA, nullptr, flags | kProgressStyle, 0, x,
                                             y, width, height);
  if (control) SendMessageA(control, PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
  const ProgressFields fields{GADGET_DEFAULT_COLOR, GADGET_DEFAULT_COLOR};
  return gadget_creation_result(number, gadget_register(number, control, &kProgressKind, fields));
}

std::uintptr_t gadget_create_trackbar(object_number number, int x, int y, int width, int height,
                                      int minimum, int maximum, std::uint32_t flags) {
  const HWND control = gadget_create_control(TRACKBAR_CLASSA, nullptr, flags | kTrackBarStyle, 0, x,
                                             y, width, height);
  if (control) {
    SendMessageA(control, TBM_SETRANGEMIN, FALSE, std::max(minimum, 0));
    SendMessageA(control, TBM_SETRANGEMAX, FALSE, std::max(maximum, 0));
    SendMessageA(control, TBM_SETPOS, TRUE, 0);
  }
  return gadget_creation_result(number, gadget_register(number, control, &kTrackBarKind));
}
