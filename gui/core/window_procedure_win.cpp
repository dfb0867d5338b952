// The window procedure of every toolkit window: platform messages become
// toolkit events, handed straight back to the event_wait that dispatches
// the message (the pending code) or queued for a later call.
#include "gui/core/window_procedure.h"

#include "gui/core/event_state.h"
#include "gui/core/focus_navigation.h"
#include "gui/core/keyboard_cues.h"
#include "gui/core/sizing_loop.h"
#include "gui/core/window_dpi.h"
#include "gui/core/window_hooks.h"
#include "gui/core/window_object.h"
#include "gui/core/window_style.h"

namespace {

// The message being handled, with the toolkit window it belongs to.
struct Message {
  HWND receiver;
  UINT number;
  WPARAM first;
  LPARAM second;
  std::int64_t window;   // number of the toolkit window, -1 when none
  WindowObject* object;  // its object, or null
  EventState* state;

  bool at_own_window() const { return object && object->handle == receiver; }
  // The gadget field of an event that leaves it unchanged.
  std::int64_t same_gadget() const { return state ? state->current.gadget : 0; }
  void raise(std::int64_t code, std::int64_t gadget, std::int64_t type = EVENT_TYPE_NONE,
             DropRecord* drop = nullptr) const {
    event_raise(code, gadget, type, drop);
  }
  void queue(std::int64_t code, std::int64_t gadget = 0, std::int64_t type = 0) const {
    event_post(static_cast<std::int32_t>(code), gadget, window, type);
  }
};

std::int64_t on_size(const Message& m) {
  if (!m.at_own_window()) return 1;
  switch (m.first) {
    case SIZE_RESTORED:
      if (m.object->min_or_max) {
        m.object->min_or_max = 0;
        m.queue(EVENT_RESTORE_WINDOW);
      }
      m.queue(EVENT_SIZE_WINDOW);
      break;
    case SIZE_MINIMIZED:
      m.object->min_or_max = 1;
      m.queue(EVENT_MINIMIZE_WINDOW);
      break;
    case SIZE_MAXIMIZED:
      m.object->min_or_max = 1;
      m.queue(EVENT_MAXIMIZE_WINDOW);
      m.queue(EVENT_SIZE_WINDOW);
      break;
    default:
      m.queue(EVENT_SIZE_WINDOW);
      break;
  }
  return 0;
}

std::int64_t on_activate(const Message& m) {
  if (LOWORD(m.first) != WA_INACTIVE) {
    const auto saved = static_cast<HWND>(GetPropA(m.receiver, FOCUS_PROPERTY));
    if (saved && IsWindow(saved) && IsChild(m.receiver, saved)) SetFocus(saved);
    m.queue(EVENT_ACTIVATE_WINDOW);
  } else {
    SetPropA(m.receiver, FOCUS_PROPERTY, GetFocus());
    keyboard_cues_hide(m.receiver);
    m.queue(EVENT_DEACTIVATE_WINDOW);
  }
  return 1;
}

BOOL CALLBACK pass_colour_change(HWND child, LPARAM) {
  SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

// The window moved to a screen of another DPI (or the screen's DPI
// changed): it takes the rectangle the platform suggests, its icons for the
// new DPI, and its child windows lay themselves out again.
std::int64_t on_dpi_changed(const Message& m) {
  const int dpi = LOWORD(m.first);
  if (!m.at_own_window() || dpi <= 0) return NOT_HANDLED;
  m.object->dpi = dpi;
  if (const auto* suggested = reinterpret_cast<const RECT*>(m.second))
    SetWindowPos(m.receiver, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  window_set_icons(m.receiver, dpi);
  for (HWND child = GetWindow(m.receiver, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageA(child, DPI_CHANGED_AFTER_PARENT_MESSAGE, 0, 0);
  RedrawWindow(m.receiver, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return 0;
}

std::int64_t on_command(const Message& m) {
  const auto control = reinterpret_cast<HWND>(m.second);
  const std::int64_t handled =
      window_control_message(control, m.receiver, m.number, m.first, m.second);
  if (handled != NOT_HANDLED) return handled;
  const WORD notification = HIWORD(m.first);
  if (control) {
    m.raise(EVENT_GADGET, GetWindowLongPtrA(control, GWLP_ID), notification);
  } else if (notification == 0) {  // a menu item
    m.raise(EVENT_MENU, static_cast<std::int64_t>(m.first));
  } else if (LOWORD(m.first) == CMD_FOCUS_NEXT || LOWORD(m.first) == CMD_FOCUS_PREVIOUS) {
    focus_navigate(LOWORD(m.first) == CMD_FOCUS_NEXT);
  } else {  // another accelerator
    m.raise(EVENT_MENU, LOWORD(m.first));
  }
  return 0;
}

std::int64_t on_tray(const Message& m) {
  std::int64_t type = -1;
  switch (m.second) {
    case WM_LBUTTONDOWN:
      type = EVENT_TYPE_LEFT_CLICK;
      break;
    case WM_LBUTTONDBLCLK:
      type = EVENT_TYPE_LEFT_DOUBLE_CLICK;
      break;
    case WM_RBUTTONDOWN:
      type = EVENT_TYPE_RIGHT_CLICK;
      break;
    case WM_RBUTTONDBLCLK:
      type = EVENT_TYPE_RIGHT_DOUBLE_CLICK;
      break;
  }
  if (type != -1) m.queue(EVENT_SYSTRAY, static_cast<std::int64_t>(m.first), type);
  // Wakes an event_wait that waits for a message.
  PostMessageA(m.receiver, WM_NULL, 0, 0);
  return 0;
}

std::int64_t handle(const Message& m) {
  switch (m.number) {
    case WM_MOVE:
    case WM_CLOSE:
      // A close request only raises the event; the window stays open.
      if (m.at_own_window()) m.queue(m.number, m.window, 0);
      return 0;
    case WM_SIZE:
      return on_size(m);
    case WM_ACTIVATE:
      return on_activate(m);
    case WM_ERASEBKGND:
      m.queue(EVENT_REPAINT);
      return NOT_HANDLED;
    case WM_SYSCOLORCHANGE:
      if (!(m.object && m.object->mdi_client)) EnumChildWindows(m.receiver, pass_colour_change, 0);
      return NOT_HANDLED;
    case WM_GETMINMAXINFO:
      if (!m.object) return NOT_HANDLED;
      if (GetWindowLongPtrA(m.receiver, GWL_EXSTYLE) & EXSTYLE_TOOL_WINDOW)
        reinterpret_cast<MINMAXINFO*>(m.second)->ptMinTrackSize.x = 1;
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(m.second);
      return window_control_message(header ? header->hwndFrom : nullptr, m.receiver, m.number,
                                    m.first, m.second);
    }
    case WM_NCDESTROY:
      RemovePropA(m.receiver, FOCUS_PROPERTY);
      return 1;
    case DPI_CHANGED_MESSAGE:
      return on_dpi_changed(m);
    case WM_COMMAND:
      return on_command(m);
    case WM_TIMER:
      if (m.window == -1) return NOT_HANDLED;
      m.raise(EVENT_TIMER, static_cast<std::int64_t>(m.first));
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case GADGET_PRIVATE_MESSAGE:
      return window_control_message(reinterpret_cast<HWND>(m.second), m.receiver, m.number, m.first,
                                    m.second);
    case WM_LBUTTONUP:
      m.raise(EVENT_LEFT_CLICK, m.same_gadget());
      return 0;
    case WM_LBUTTONDBLCLK:
      m.raise(EVENT_LEFT_DOUBLE_CLICK, m.same_gadget());
      return 0;
    case WM_RBUTTONUP:
      m.raise(EVENT_RIGHT_CLICK, m.same_gadget());
      return 0;
    case TRAY_CALLBACK_MESSAGE:
      return on_tray(m);
    case WINDOW_DROP_MESSAGE:
      m.raise(EVENT_WINDOW_DROP, m.same_gadget(), EVENT_TYPE_NONE,
              reinterpret_cast<DropRecord*>(m.second));
      return 0;
    case GADGET_DROP_MESSAGE:
      m.raise(EVENT_GADGET_DROP, static_cast<std::int64_t>(m.first), EVENT_TYPE_NONE,
              reinterpret_cast<DropRecord*>(m.second));
      return 0;
    default:
      return NOT_HANDLED;
  }
}

// An MDI frame hands what it does not handle (but size) to the platform's
// frame procedure, and the focus, menu-character and menu commands always.
bool frame_takes(const Message& m, std::int64_t result) {
  if (m.number == WM_SETFOCUS || m.number == WM_MENUCHAR) return true;
  if (m.number == WM_COMMAND && m.second == 0) return true;
  return result == NOT_HANDLED && m.number != WM_SIZE;
}

}  // namespace

LRESULT CALLBACK toolkit_window_procedure(HWND receiver, UINT number, WPARAM first, LPARAM second) {
  const std::int64_t sizing = sizing_loop_filter(receiver, number, first, second);
  if (sizing != NOT_HANDLED) return static_cast<LRESULT>(sizing);

  Message m{receiver, number, first, second, -1, nullptr, event_state()};
  if (window_number_of(receiver, &m.window)) m.object = window_object(m.window);
  if (m.state) m.state->current.window = m.window;
  const std::int64_t result = handle(m);

  if (const auto client = static_cast<HWND>(GetPropA(receiver, MDI_GADGET_PROPERTY)))
    if (frame_takes(m, result)) return DefFrameProcA(receiver, client, number, first, second);
  SetLastError(0);
  if (result != NOT_HANDLED) return static_cast<LRESULT>(result);
  if (m.object && m.object->mdi_client && m.object->handle == receiver)
    return DefMDIChildProcA(receiver, number, first, second);
  return DefWindowProcA(receiver, number, first, second);
}
