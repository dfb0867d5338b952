// The row-cache procedure in front of every explorer list control. The list
// view's own grid lines come in the system's colour; a list with a grid
// colour of its own draws its grid over them after each paint: a line under
// every row from the header down to the bottom, and one at the right edge of
// every column. An empty list has no row to measure, so a row is inserted
// and deleted once and its height kept in two control properties until the
// font changes.
#include <windows.h>
#include <commctrl.h>

#include "gui/core/window_dpi.h"
#include "gui/explorer/explorer_state.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadgets.h"
#include "runtime/scoped_win.h"

namespace {

constexpr const char* kRowTop = "ZQ_RectTop";
constexpr const char* kRowBottom = "ZQ_RectBottom";

WNDPROC list_view_procedure = nullptr;  // the class procedure behind every list

void forget_row(HWND list) {
  RemovePropA(list, kRowTop);
  RemovePropA(list, kRowBottom);
}

// The first row's top and height; false when they cannot be had.
bool row_bounds(HWND list, int* top, int* height) {
  RECT row{};
  if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
    row.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return false;
  } else if (GetPropA(list, kRowBottom)) {
    row.top = static_cast<LONG>(reinterpret_cast<INT_PTR>(GetPropA(list, kRowTop)));
    row.bottom = static_cast<LONG>(reinterpret_cast<INT_PTR>(GetPropA(list, kRowBottom)));
  } else {
    LVITEMA probe{};
    probe.mask = LVIF_TEXT;
    probe.pszText = const_cast<char*>("");
    const auto index = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&probe));
    if (index < 0) return false;
    row.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
    SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    SetPropA(list, kRowTop, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(row.top)));
    SetPropA(list, kRowBottom, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(row.bottom)));
  }
  *top = row.top;
  *height = row.bottom - row.top;
  return *height > 0;
}

void line(HDC context, int x1, int y1, int x2, int y2) {
  MoveToEx(context, x1, y1, nullptr);
  LineTo(context, x2, y2);
}

void draw_grid(HWND list, COLORREF colour) {
  int top = 0, height = 0;
  if (!row_bounds(list, &top, &height)) return;
  RECT client{};
  GetClientRect(list, &client);
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  int header_bottom = 0;
  if (header && IsWindowVisible(header)) {
    RECT r{};
    GetWindowRect(header, &r);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&r), 2);
    header_bottom = r.bottom;
  }
  WindowDc context(list);
  if (!context) return;
  GdiObject pen(CreatePen(PS_SOLID, 1, colour));
  SelectedObject selected(context.get(), pen.get());
  // Row boundaries: the last pixel line of every row.
  int y = top - 1;
  if (y < header_bottom) y += ((header_bottom - y + height - 1) / height) * height;
  for (; y < client.bottom; y += height) line(context.get(), client.left, y, client.right, y);
  const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int column = 0; column < columns; ++column) {
    RECT r{};
    if (!SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&r)))
      continue;
    MapWindowPoints(header, list, reinterpret_cast<POINT*>(&r), 2);
    line(context.get(), r.right - 1, header_bottom, r.right - 1, client.bottom);
  }
  // Older common controls draw a line of their own under the header.
  if (controls_probe() < 0x60000 && header_bottom > 0) {
    GdiObject background(
        CreatePen(PS_SOLID, 1, static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0))));
    SelectedObject back(context.get(), background.get());
    line(context.get(), client.left, header_bottom, client.right, header_bottom);
  }
}

void draw_own_grid(HWND list) {
  GadgetObject* gadget = gadget_of_control(list);
  if (!gadget) return;
  const ExplorerFields& fields = gadget_fields<ExplorerFields>(gadget);
  const ExplorerState* state = fields.explorer;
  if (!state || !(state->flags & EXPLORER_GRID_LINES) || fields.grid_color == -1) return;
  if ((GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) return;
  if (!IsWindowEnabled(list)) return;
  draw_grid(list, static_cast<COLORREF>(fields.grid_color));
}

LRESULT CALLBACK row_cache_procedure(HWND list, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_SETFONT || message == WM_NCDESTROY) forget_row(list);
  if (message == DPI_CHANGED_AFTER_PARENT_MESSAGE)
    if (ExplorerState* state = explorer_state_of(list)) explorer_follow_dpi(state);
  const LRESULT result = CallWindowProcA(list_view_procedure, list, message, first, second);
  if (message == WM_PAINT) draw_own_grid(list);
  return result;
}

}  // namespace

void explorer_grid_attach(HWND list) {
  gadget_subclass(list, row_cache_procedure, &list_view_procedure);
}
