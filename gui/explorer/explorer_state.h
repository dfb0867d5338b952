// The explorer list's record and the operations its parts share: filling,
// sorting, navigation, the process-wide shell data and the grid. All of it
// runs on the main thread; the monitor thread (explorer_monitor.h) only
// posts a message.
//
// THE ROWS MIRROR THE LIST VIEW. `rows.rows` holds what the last listing
// found, in listing order; `rows.of_item[i]` is the row that item i of the
// list view shows. Every change to the list view's items changes of_item
// the same way: a refresh rebuilds both (an item the list view refuses gets
// no entry), explorer_sort permutes it with the items, the kind's
// remove_item erases the item's entry. Column changes write the cells from
// it; finding a different item count they list the directory again rather
// than write wrong cells, and a sort that finds one leaves of_item as it is.
// The only other change is the grid's probe row (explorer_grid_win.cpp),
// inserted into an empty list and deleted again at once.
//
// ITEM PARAMETERS ARE KINDS, EXCEPT DURING A SORT. Outside explorer_sort an
// item's parameter is its item kind (explorer_item_parameter). explorer_sort
// replaces every parameter by a pointer to a sort key on its own stack, has
// the list view sort, then puts the kinds back, taking each item's old place
// (and so its row) from its key's address. Nothing reads a parameter as a
// kind in between: the sort runs through without returning to the event
// loop, with redraw paused, and the parameter changes it causes are answered
// by the notification filter without reaching any handler.
//
// THE NOTIFICATION FILTER (explorer_filter_notifications) sits in front of
// the parent window of every explorer list. For explorer lists only, it
// answers the notifications about single items itself (an item inserted,
// deleted, changing, drawn, changed other than in selection or focus, and
// all items deleted) before the toolkit's window procedure or the kind's
// handler sees them. A handler for one of those codes would never be called
// for an explorer list: it has to go into the filter. Selection and focus
// changes, clicks, keys, drags and header clicks pass on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/explorer/explorer_rules.h"
#include "gui/explorer/explorer_type_cache.h"
#include "runtime/files.h"
#include "runtime/platform_lock.h"

// Bytes for a file name or a column title (up to 259 characters), at up to
// three bytes a character in the UTF-8 code page.
constexpr std::size_t EXPLORER_TEXT_LENGTH = PATH_BUFFER_LENGTH * 3;
constexpr std::int32_t EXPLORER_MAX_COLUMNS = 200;

// One listed entry as its columns show it.
struct ExplorerRow {
  std::int64_t kind;  // the item kind
  std::string name;
  int icon;
  bool on_disk;  // a directory or file, with the data below
  std::uint32_t attributes;
  std::uint64_t size;
  FILETIME created, modified, accessed;
  std::string type_name;  // files only
};

// What a list shows: its rows in listing order, and the row of each item
// in the list's current order. Columns that come or go are filled from it
// without listing the directory again.
struct ExplorerRows {
  std::vector<ExplorerRow> rows;
  std::vector<std::int32_t> of_item;
};

// One per explorer list, value-initialised at creation.
struct ExplorerState {
  HWND handle;  // the list view control
  std::int32_t number;
  std::uint32_t flags;
  std::string directory;  // trailing backslash; empty: the root view
  std::string patterns;
  HWND disk_dialog;  // the open disk prompt, or null
  std::int32_t disk_dialog_drive;
  std::int32_t column_count;
  std::uint8_t column_kinds[EXPLORER_MAX_COLUMNS];  // in column order
  std::int32_t sort_direction;                      // 0 unsorted, 1 ascending, -1 descending
  std::int32_t sort_column;
  ExplorerRows rows;
  bool refresh_due;    // changes on disk wait for the refresh timer
  std::int32_t dpi;    // the DPI the column widths are for (gui/core/dpi.h)
};

// The explorer list's fields in its gadget record.
struct ExplorerFields {
  ExplorerState* explorer;
  std::int64_t text_color;  // -1: the list's default
  std::int64_t back_color;
  std::int64_t grid_color;  // -1: no grid of its own
};

// Process-wide data, set up at the first creation of a list and kept until
// the process ends (it outlives runtime restarts).
struct ExplorerShell {
  HIMAGELIST small_images;
  HIMAGELIST large_images;
  int folder_icon;
  bool documents_known;
  std::string documents_path;  // with a trailing backslash
  int documents_icon;
  std::string documents_name;
  std::string titles[COLUMN_ACCESSED + 1];  // by column kind
  bool default_colours_known;
  COLORREF default_text_colour;
  COLORREF default_back_colour;
  ExplorerTypeCache type_cache;
  PlatformLock list_lock;  // held while files are enumerated
};

// The shell data; the first call sets it up (COM for the thread, the
// monitor, image lists, folder icon, documents folder, titles).
ExplorerShell& explorer_shell();
// The shown title of a column kind (the text itself for other titles).
std::string explorer_column_title(std::string_view title);
// The icon and type name of a file by the type cache, asking the shell on a
// miss. Call under the list lock.
void explorer_file_type(const std::string& path, int* icon, std::string* type_name);
// "<short date> <time without seconds>" of a file time in the user's locale.
std::string explorer_date_text(const FILETIME& time);
// The drive's display name and small icon.
void explorer_drive_info(int drive_index, std::string* name, int* icon);

// Every live list, for the drive changes and the notifications. Main
// thread only.
void explorer_register_state(ExplorerState* state);
void explorer_unregister_state(ExplorerState* state);
ExplorerState** explorer_states(std::size_t* count);
template <typename Visit>
void explorer_for_each_state(Visit visit) {
  std::size_t count = 0;
  ExplorerState** states = explorer_states(&count);
  for (std::size_t i = 0; i < count; ++i) visit(states[i]);
}
// The live list of a list view control, or null.
inline ExplorerState* explorer_state_of(HWND list) {
  ExplorerState* found = nullptr;
  explorer_for_each_state([&](ExplorerState* state) {
    if (state->handle == list) found = state;
  });
  return found;
}

// Event type of a double click or Enter that navigated, and of every change
// of an item's selection or focus.
constexpr std::int64_t EXPLORER_EVENT_CHANGED = 768;
// Whether a list view's item change is one of selection or focus, the only
// item change that is an event.
bool explorer_selection_changed(const NMLISTVIEW* change);

// The control draws nothing while its items change.
class ExplorerRedrawPaused {
 public:
  explicit ExplorerRedrawPaused(HWND list);
  ~ExplorerRedrawPaused();
  ExplorerRedrawPaused(const ExplorerRedrawPaused&) = delete;
  ExplorerRedrawPaused& operator=(const ExplorerRedrawPaused&) = delete;

 private:
  HWND list_;
};

// Items through the list view.
std::string explorer_item_text(HWND list, int item, int column);
LPARAM explorer_item_parameter(HWND list, int item);  // the item's kind outside sorting
void explorer_set_item_parameter(HWND list, int item, LPARAM parameter);
// The first column that shows names, -1 when there is none.
int explorer_name_column(const ExplorerState* state);
// The first selected item, -1 when none is.
int explorer_first_selected(HWND list);

// Shows a text: a directory and/or a pattern list, or the root view.
void explorer_show(ExplorerState* state, const char* text);
// Shows the same directory and patterns again.
void explorer_refresh(ExplorerState* state);
// Sorts by `sort_column` in `sort_direction`; nothing when unsorted.
void explorer_sort(ExplorerState* state);
// The kind of the column the list is sorted by, -1 when there is none.
int explorer_sort_kind(const ExplorerState* state);
// A header click on a column: sorts by it, or reverses its direction.
void explorer_header_click(ExplorerState* state, int column);

// Double click or Enter: the event type (2 without navigation or on a file,
// 768 when the list navigated or nothing was selected).
std::int64_t explorer_open_selected(ExplorerState* state);
// The disk prompt of a drive that is not ready, where the platform has one.
void explorer_close_disk_dialog(ExplorerState* state);
// Puts the drive-change procedure in front of the list's top-level window
// unless a window has it already.
void explorer_watch_drive_changes(HWND top_level);

// Answers the list views' notifications about single items (insertions,
// deletions, parameter changes) in front of the toolkit, for a window that
// holds explorer lists.
void explorer_filter_notifications(HWND parent);

// Column operations; the cells are written again from the rows, and the
// list is sorted again when its sort column now shows something else.
// A column's width is given in the toolkit's units and scaled to the list's DPI.
bool explorer_insert_column(ExplorerState* state, int position, const char* title, int width);
bool explorer_delete_column(ExplorerState* state, int position);
// The columns' widths for the list's new DPI, once (WM_DPICHANGED_AFTERPARENT).
void explorer_follow_dpi(ExplorerState* state);

// The row-cache procedure in front of the control: with grid lines, a
// report view and a grid colour, the list draws its own grid after each
// paint; the row height it measures is kept until the font changes.
void explorer_grid_attach(HWND list);
