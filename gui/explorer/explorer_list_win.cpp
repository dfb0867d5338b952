// The explorer list kind: its creation, its table of operations (text,
// state, items, columns, attributes, colours) and the list view's
// notifications that become events.
#include "gui/explorer/explorer_list.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <new>

#include "gui/core/dpi.h"
#include "gui/core/event_state.h"
#include "gui/dnd/drop_feedback.h"
#include "gui/explorer/explorer_monitor.h"
#include "gui/explorer/explorer_state.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_list.h"
#include "gui/gadgets/gadgets.h"

namespace {

// Child, visible, report view, shared image lists, auto-arrange.
constexpr DWORD kListStyle = 0x50000141;
constexpr DWORD kDoubleBuffer = 0x10000;
constexpr int kStandardColumnWidth = 100;
constexpr const char* kStandardColumns[] = {"ZQ_Explorer_Column_Name", "ZQ_Explorer_Column_Size",
                                            "ZQ_Explorer_Column_Type",
                                            "ZQ_Explorer_Column_Modified"};
// The list view's view styles by display mode.
constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

ExplorerFields& fields_of(GadgetObject* gadget) {
  return gadget_fields<ExplorerFields>(gadget);
}

ExplorerState* state_of(GadgetObject* gadget) {
  return fields_of(gadget).explorer;
}

DWORD style_of(std::uint32_t flags) {
  DWORD style = kListStyle;
  if (flags & EXPLORER_NO_SORT_HEADER) style |= LVS_NOSORTHEADER;
  if (!(flags & EXPLORER_MULTISELECT)) style |= LVS_SINGLESEL;
  if (flags & EXPLORER_SHOW_SELECTION) style |= LVS_SHOWSELALWAYS;
  return style;
}

DWORD extended_list_style_of(std::uint32_t flags) {
  DWORD style = kDoubleBuffer;
  if (flags & EXPLORER_GRID_LINES) style |= LVS_EX_GRIDLINES;
  if (flags & EXPLORER_HEADER_DRAG) style |= LVS_EX_HEADERDRAGDROP;
  if (flags & EXPLORER_FULL_ROW) style |= LVS_EX_FULLROWSELECT;
  return style;
}

std::int64_t on_notify(GadgetObject* gadget, const NMHDR* header) {
  ExplorerState* state = state_of(gadget);
  const HWND list = gadget->handle;
  switch (header->code) {
    case NM_CLICK:
      gadget_post_event(list, EVENT_TYPE_LEFT_CLICK);
      return 0;
    case NM_RCLICK:
      gadget_post_event(list, EVENT_TYPE_RIGHT_CLICK);
      return 0;
    case NM_RDBLCLK:
      gadget_post_event(list, EVENT_TYPE_RIGHT_DOUBLE_CLICK);
      return 0;
    case NM_DBLCLK:
      gadget_post_event(list, explorer_open_selected(state));
      return 0;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey != VK_RETURN) return NOT_HANDLED;
      gadget_post_event(list, explorer_open_selected(state));
      return 0;
    case LVN_BEGINDRAG:
      gadget_post_event(list, EVENT_TYPE_DRAG_START);
      return 0;
    case LVN_ITEMCHANGED:
      if (explorer_selection_changed(reinterpret_cast<const NMLISTVIEW*>(header)))
        event_raise(EVENT_GADGET, gadget_identifier(gadget), EXPLORER_EVENT_CHANGED);
      return 0;
    case LVN_COLUMNCLICK:
      explorer_header_click(state, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
      return 0;
    case LVN_DELETEALLITEMS:
      return TRUE;  // no notification for every single item
    default:
      return NOT_HANDLED;
  }
}

// A burst of changes on disk (a batch writing its pictures) is one
// refresh: the first change of a burst sets a timer, the changes within
// its delay join it, and the list is read once when it fires. The delay is
// not restarted by later changes, so that a directory that keeps changing
// is still shown.
constexpr UINT_PTR kRefreshTimer = 0x5A52;
constexpr UINT kRefreshDelay = 250;

void CALLBACK refresh_when_due(HWND list, UINT, UINT_PTR timer, DWORD) {
  KillTimer(list, timer);
  ExplorerState* due = explorer_state_of(list);
  if (!due) return;  // the list has gone
  due->refresh_due = false;
  explorer_refresh(due);
}

void refresh_soon(ExplorerState* state) {
  if (state->refresh_due) return;
  state->refresh_due = SetTimer(state->handle, kRefreshTimer, kRefreshDelay, refresh_when_due) != 0;
  if (!state->refresh_due) explorer_refresh(state);
}

// A new list comes into view once its maker has set it up: the columns
// that its maker adds and removes right after creating it cost a visible
// list view a repaint of its header each (15 to 20 ms apiece under Wine),
// a hidden one nothing. The list shows itself at the next pass of the
// message loop.
constexpr WPARAM kShowWhenSetUp = 1;

std::int64_t on_parent_message(GadgetObject* gadget, HWND, UINT message, WPARAM first,
                               LPARAM second) {
  if (message == GADGET_PRIVATE_MESSAGE && first == kShowWhenSetUp) {
    ShowWindow(gadget->handle, SW_SHOWNA);
    return 0;
  }
  if (message == GADGET_PRIVATE_MESSAGE) {  // the monitor saw the directory change
    refresh_soon(state_of(gadget));
    return 0;
  }
  if (message == WM_NOTIFY) return on_notify(gadget, reinterpret_cast<const NMHDR*>(second));
  return NOT_HANDLED;
}

void release(GadgetObject* gadget) {
  ExplorerState* state = state_of(gadget);
  if (!state) return;
  explorer_close_disk_dialog(state);
  KillTimer(state->handle, kRefreshTimer);
  explorer_monitor_forget(state->handle);
  explorer_unregister_state(state);
  delete state;
  fields_of(gadget).explorer = nullptr;
}

std::int64_t get_state(GadgetObject* gadget) {
  return explorer_first_selected(gadget->handle);
}

std::string get_text(GadgetObject* gadget) {
  return state_of(gadget)->directory;
}

void set_text(GadgetObject* gadget, const char* text) {
  explorer_show(state_of(gadget), text);
}

std::int64_t count_items(GadgetObject* gadget) {
  return SendMessageA(gadget->handle, LVM_GETITEMCOUNT, 0, 0);
}

void remove_item(GadgetObject* gadget, std::int64_t item) {
  if (!SendMessageA(gadget->handle, LVM_DELETEITEM, static_cast<WPARAM>(item), 0)) return;
  std::vector<std::int32_t>& of_item = state_of(gadget)->rows.of_item;
  if (item >= 0 && item < static_cast<std::int64_t>(of_item.size()))
    of_item.erase(of_item.begin() + item);
}

std::int64_t get_item_state(GadgetObject* gadget, std::int64_t item) {
  const HWND list = gadget->handle;
  if (item < 0 || item >= count_items(gadget)) return 0;
  const int index = static_cast<int>(item);
  const std::int64_t kind = explorer_item_parameter(list, index);
  const bool selected =
      SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) &
      LVIS_SELECTED;
  return (kind == ITEM_FILE ? EXPLORER_ITEM_FILE : EXPLORER_ITEM_OTHER) +
         (selected ? EXPLORER_ITEM_SELECTED : 0);
}

void set_item_state(GadgetObject* gadget, std::int64_t item, std::int64_t state) {
  LVITEMA change{};
  change.stateMask = LVIS_SELECTED;
  change.state = (state & EXPLORER_ITEM_SELECTED) ? LVIS_SELECTED : 0;
  event_queue_suspend();
  SendMessageA(gadget->handle, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(&change));
  event_queue_resume();
}

// Item -1 stands for the column's header.
std::string get_item_text(GadgetObject* gadget, std::int64_t item, std::int64_t column) {
  if (item != -1)
    return explorer_item_text(gadget->handle, static_cast<int>(item), static_cast<int>(column));
  char title[EXPLORER_TEXT_LENGTH] = {};
  LVCOLUMNA header{};
  header.mask = LVCF_TEXT;
  header.pszText = title;
  header.cchTextMax = sizeof title;
  SendMessageA(gadget->handle, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&header));
  return title;
}

void set_item_text(GadgetObject* gadget, std::int64_t item, const char* text, std::int64_t column) {
  std::string copy = text;
  if (item == -1) {
    LVCOLUMNA header{};
    header.mask = LVCF_TEXT;
    header.pszText = copy.data();
    SendMessageA(gadget->handle, LVM_SETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&header));
    return;
  }
  LVITEMA cell{};
  cell.iSubItem = static_cast<int>(column);
  cell.pszText = copy.data();
  SendMessageA(gadget->handle, LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(&cell));
}

void add_column(GadgetObject* gadget, std::int64_t position, const char* title,
                std::int64_t width) {
  explorer_insert_column(state_of(gadget), static_cast<int>(position), title,
                         static_cast<int>(width));
}

void remove_column(GadgetObject* gadget, std::int64_t position) {
  explorer_delete_column(state_of(gadget), static_cast<int>(position));
}

std::int64_t get_attribute(GadgetObject* gadget, std::int64_t attribute) {
  if (attribute != EXPLORER_DISPLAY_MODE) return 0;
  const DWORD view =
      static_cast<DWORD>(GetWindowLongPtrA(gadget->handle, GWL_STYLE)) & LVS_TYPEMASK;
  for (std::int64_t mode = 0; mode < 4; ++mode)
    if (kViewStyles[mode] == view) return mode;
  return 0;
}

void set_attribute(GadgetObject* gadget, std::int64_t attribute, std::int64_t value) {
  if (attribute != EXPLORER_DISPLAY_MODE || value < 0 || value > 3) return;
  const LONG_PTR style = GetWindowLongPtrA(gadget->handle, GWL_STYLE);
  SetWindowLongPtrA(gadget->handle, GWL_STYLE, (style & ~LVS_TYPEMASK) | kViewStyles[value]);
}

// Column widths in the toolkit's units, at the list's DPI on the screen;
// the platform's negative widths (fit the texts, fit the title) as they are.
std::int64_t get_item_attribute(GadgetObject* gadget, std::int64_t, std::int64_t attribute,
                                std::int64_t column) {
  if (attribute != EXPLORER_COLUMN_WIDTH) return 0;
  const auto width = static_cast<int>(
      SendMessageA(gadget->handle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  return dpi_unscale(width, state_of(gadget)->dpi);
}

void set_item_attribute(GadgetObject* gadget, std::int64_t, std::int64_t attribute,
                        std::int64_t value, std::int64_t column) {
  const int width = static_cast<int>(value);
  if (attribute == EXPLORER_COLUMN_WIDTH)
    SendMessageA(gadget->handle, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                 MAKELPARAM(width < 0 ? width : dpi_scale(width, state_of(gadget)->dpi), 0));
}

void set_color(GadgetObject* gadget, std::int64_t which, std::int64_t color) {
  ExplorerFields& fields = fields_of(gadget);
  const ExplorerShell& shell = explorer_shell();
  const HWND list = gadget->handle;
  if (which == EXPLORER_COLOR_TEXT) {
    fields.text_color = color;
    SendMessageA(list, LVM_SETTEXTCOLOR, 0,
                 color == -1 ? shell.default_text_colour : static_cast<COLORREF>(color));
  } else if (which == EXPLORER_COLOR_BACK) {
    fields.back_color = color;
    const COLORREF back = color == -1 ? shell.default_back_colour : static_cast<COLORREF>(color);
    SendMessageA(list, LVM_SETBKCOLOR, 0, back);
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, back);
  } else if (which == EXPLORER_COLOR_GRID) {
    fields.grid_color = color;
  } else {
    return;
  }
  InvalidateRect(list, nullptr, TRUE);
}

std::int64_t get_color(GadgetObject* gadget, std::int64_t which) {
  const ExplorerFields& fields = fields_of(gadget);
  if (which == EXPLORER_COLOR_TEXT) return fields.text_color;
  if (which == EXPLORER_COLOR_BACK) return fields.back_color;
  if (which == EXPLORER_COLOR_GRID) return fields.grid_color;
  return GADGET_DEFAULT_COLOR;
}

constexpr GadgetKind kExplorerKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_EXPLORER_LIST);
  kind.on_parent_message = on_parent_message;
  kind.release = release;
  kind.get_state = get_state;
  kind.get_text = get_text;
  kind.set_text = set_text;
  kind.remove_item = remove_item;
  kind.count_items = count_items;
  kind.get_item_state = get_item_state;
  kind.set_item_state = set_item_state;
  kind.get_item_text = get_item_text;
  kind.set_item_text = set_item_text;
  kind.add_column = add_column;
  kind.remove_column = remove_column;
  kind.get_attribute = get_attribute;
  kind.set_attribute = set_attribute;
  kind.get_item_attribute = get_item_attribute;
  kind.set_item_attribute = set_item_attribute;
  kind.set_color = set_color;
  kind.get_color = get_color;
  return kind;
}();

void remember_default_colours(HWND list) {
  ExplorerShell& shell = explorer_shell();
  if (shell.default_colours_known) return;
  shell.default_text_colour = static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0));
  shell.default_back_colour = static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0));
  shell.default_colours_known = true;
}

// The list's own parts before it becomes a gadget: image lists, extended
// styles and the row-cache procedure.
void prepare_control(HWND list, std::uint32_t flags) {
  const ExplorerShell& shell = explorer_shell();
  remember_default_colours(list);
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(shell.small_images));
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(shell.large_images));
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended_list_style_of(flags));
  explorer_grid_attach(list);
}

}  // namespace

// Sorting swaps item parameters and a drag over the list moves the drop
// highlight from item to item; only selection and focus are the user's
// changes.
bool explorer_selection_changed(const NMLISTVIEW* change) {
  return (change->uChanged & LVIF_STATE) &&
         ((change->uNewState ^ change->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED));
}

std::uintptr_t gadget_create_explorer_list(object_number number, int x, int y, int width,
                                           int height, const char* text, std::uint32_t flags) {
  explorer_shell();
  controls_probe();
  // A drag over the list lights the item under the pointer.
  drop_feedback_register(KIND_EXPLORER_LIST, DropFeedbackStyle::ListView);
  if (const GadgetListState* lists = gadget_list_state())
    if (lists->current_parent)
      explorer_watch_drive_changes(GetAncestor(lists->current_parent, GA_ROOT));

  const DWORD ex_style = (flags & EXPLORER_BORDERLESS) ? 0 : WS_EX_CLIENTEDGE;
  const HWND list = gadget_create_control(WC_LISTVIEWA, "", style_of(flags) & ~WS_VISIBLE,
                                          ex_style, x, y, width, height);
  if (!list) return 0;
  explorer_filter_notifications(GetParent(list));
  auto* state = new (std::nothrow) ExplorerState{};
  if (!state) {
    delete state;
    // A list view that is no gadget would be left behind for good.
    DestroyWindow(list);
    return 0;
  }
  prepare_control(list, flags);
  GadgetObject* gadget =
      gadget_register(number, list, &kExplorerKind, ExplorerFields{state, -1, -1, -1});
  if (!gadget) {
    delete state;
    return 0;
  }
  state->handle = list;
  state->dpi = gadget->dpi;
  state->flags = flags;
  state->number = static_cast<std::int32_t>(gadget_identifier(gadget));
  if (flags & EXPLORER_SORTED) {
    state->sort_column = 0;
    state->sort_direction = 1;
  }
  state->patterns = "*.*";
  explorer_register_state(state);
  for (const char* column : kStandardColumns)
    explorer_insert_column(state, -1, column, kStandardColumnWidth);
  explorer_show(state, text);
  PostMessageA(GetParent(list), GADGET_PRIVATE_MESSAGE, kShowWhenSetUp,
               reinterpret_cast<LPARAM>(list));
  return gadget_creation_result(number, gadget);
}
