// The sizing loop on the platform: capture, cursors, the sizing message and
// the moves. The geometry lives in gui/core/sizing_geometry.cpp.
#include "gui/core/sizing_loop.h"

#include <windowsx.h>

#include "gui/core/events.h"
#include "gui/core/sizing_geometry.h"

namespace {

constexpr WPARAM kSizeCommand = 0xF000;
constexpr UINT kQueryDragFullWindows = SPI_GETDRAGFULLWINDOWS;  // 38

struct SizingLoop {
  HWND window = nullptr;
  int edge = EDGE_NONE;
  SizingRect rect{};
  SizingLimits limits{};
  bool from_keyboard = false;
  bool restore_cursor = false;  // cleared once the mouse moves
  POINT start_cursor{};
  POINT placed_cursor{};  // where the loop itself put the cursor last
  HWND focus_before = nullptr;
};

SizingLoop loop;

bool drag_full_windows() {
  BOOL on = FALSE;
  return SystemParametersInfoA(kQueryDragFullWindows, 0, &on, 0) && on;
}

SizingLimits tracking_limits(HWND window) {
  MINMAXINFO info{};
  info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  info.ptMaxSize = info.ptMaxTrackSize;
  SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return SizingLimits{info.ptMinTrackSize.x, info.ptMinTrackSize.y, info.ptMaxTrackSize.x,
                      info.ptMaxTrackSize.y};
}

void show_cursor(int system_cursor) {
  SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(system_cursor)));
}

void place_cursor(SizingPoint point) {
  loop.placed_cursor = POINT{point.x, point.y};
  SetCursorPos(point.x, point.y);
}

// Resizes to the dragged rectangle, letting the window adjust it first.
void apply(SizingRect rect) {
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  SendMessageA(loop.window, WM_SIZING, static_cast<WPARAM>(loop.edge),
               reinterpret_cast<LPARAM>(&r));
  loop.rect = SizingRect{r.left, r.top, r.right, r.bottom};
  POINT origin{r.left, r.top};
  if (GetWindowLongPtrA(loop.window, GWL_STYLE) & WS_CHILD)
    ScreenToClient(GetParent(loop.window), &origin);
  SetWindowPos(loop.window, nullptr, origin.x, origin.y, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void drag_to(SizingPoint point) {
  if (loop.edge != EDGE_NONE) apply(sizing_drag(loop.rect, loop.edge, point, loop.limits));
}

void start(HWND window, int edge) {
  loop = SizingLoop{};
  loop.edge = edge;
  RECT r{};
  GetWindowRect(window, &r);
  loop.rect = SizingRect{r.left, r.top, r.right, r.bottom};
  loop.limits = tracking_limits(window);
  if ((GetKeyState(VK_LBUTTON) & 0x8000) == 0) SendMessageA(window, WM_LBUTTONDOWN, 1, 0);
  loop.window = window;
  SetCapture(window);
  PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
  if (edge == EDGE_NONE) {
    loop.from_keyboard = true;
    loop.restore_cursor = true;
    GetCursorPos(&loop.start_cursor);
    loop.placed_cursor = loop.start_cursor;
    show_cursor(CURSOR_SIZE_ALL);
    // The arrow keys must reach the window, not the control that had the
    // focus when the size command came from the system menu.
    loop.focus_before = GetFocus();
    SetFocus(window);
  }
}

void finish() {
  const SizingLoop ended = loop;
  loop = SizingLoop{};
  PostMessageA(ended.window, WM_EXITSIZEMOVE, 0, 0);
  if (ended.from_keyboard) {
    if (ended.restore_cursor) SetCursorPos(ended.start_cursor.x, ended.start_cursor.y);
    if (ended.focus_before && IsWindow(ended.focus_before)) SetFocus(ended.focus_before);
  }
}

void on_mouse_move(LPARAM position) {
  POINT p{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ClientToScreen(loop.window, &p);
  // The move that follows the loop's own cursor placement is no user move.
  if (p.x != loop.placed_cursor.x || p.y != loop.placed_cursor.y) loop.restore_cursor = false;
  drag_to(SizingPoint{p.x, p.y});
}

void on_arrow_key(int key) {
  POINT now{};
  GetCursorPos(&now);
  const SizingKeyStep step = sizing_arrow_key(loop.edge, key, loop.rect, SizingPoint{now.x, now.y});
  loop.edge = step.edge;
  place_cursor(step.cursor);
  if (step.chosen)
    show_cursor(sizing_cursor(step.edge));
  else
    drag_to(step.cursor);
}

}  // namespace

std::int64_t sizing_loop_filter(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (!loop.window) {
    if (message == WM_SYSCOMMAND && (first & 0xFFF0) == kSizeCommand && drag_full_windows()) {
      start(window, static_cast<int>(first & 0xF));
      return 0;
    }
    return NOT_HANDLED;
  }
  if (window != loop.window) return NOT_HANDLED;
  switch (message) {
    case WM_MOUSEMOVE:
      on_mouse_move(second);
      return 0;
    case WM_KEYDOWN:
      if (first >= VK_LEFT && first <= VK_DOWN) {
        on_arrow_key(static_cast<int>(first));
        return 0;
      }
      if (first == VK_RETURN || first == VK_ESCAPE) {
        ReleaseCapture();
        return 0;
      }
      return NOT_HANDLED;
    case WM_LBUTTONUP:
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      finish();
      return 0;
    default:
      return NOT_HANDLED;
  }
}

void sizing_loop_abandon() {
  if (loop.window && GetCapture() == loop.window) ReleaseCapture();
  loop = SizingLoop{};
}
