// Reading and writing an explorer list's items through the list view.
#include <windows.h>
#include <commctrl.h>

#include "gui/explorer/explorer_state.h"

ExplorerRedrawPaused::ExplorerRedrawPaused(HWND list) : list_(list) {
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

ExplorerRedrawPaused::~ExplorerRedrawPaused() {
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

std::string explorer_item_text(HWND list, int item, int column) {
  char text[EXPLORER_TEXT_LENGTH] = {};
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = text;
  cell.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  return text;
}

LPARAM explorer_item_parameter(HWND list, int item) {
  LVITEMA row{};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row));
  return row.lParam;
}

void explorer_set_item_parameter(HWND list, int item, LPARAM parameter) {
  LVITEMA row{};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  row.lParam = parameter;
  SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&row));
}

int explorer_name_column(const ExplorerState* state) {
  for (int column = 0; column < state->column_count; ++column)
    if (state->column_kinds[column] == COLUMN_NAME) return column;
  return -1;
}

int explorer_first_selected(HWND list) {
  return static_cast<int>(
      SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}
