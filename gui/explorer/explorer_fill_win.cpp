// Filling an explorer list: the location a text asks for, then the items of
// one directory (parent entry, directories, the files of every pattern) or of
// the root view (drives, the documents entry), and the columns whose kinds
// decide what each item shows.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <utility>

#include "gui/core/dpi.h"
#include "gui/core/window_dpi.h"
#include "gui/explorer/explorer_monitor.h"
#include "gui/explorer/explorer_state.h"
#include "runtime/files.h"
#include "runtime/scoped_win.h"
#include "runtime/strings.h"
#include "runtime/wide_text.h"

namespace {

// Keeps the system's critical-error boxes (an empty floppy drive, say) off
// while a directory is listed.
class CriticalErrorBoxesOff {
 public:
  CriticalErrorBoxesOff() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorBoxesOff() { SetErrorMode(previous_); }
  CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
  CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

 private:
  UINT previous_;
};

ExplorerRow row_of(std::int64_t kind, std::string_view name, int icon) {
  return ExplorerRow{kind, std::string(name), icon, false, 0, 0, {}, {}, {}, {}};
}

// A directory entry, its name in the ANSI code page.
struct FoundEntry {
  std::string name;
  WIN32_FIND_DATAW data;
};

ExplorerRow row_of(std::int64_t kind, const FoundEntry& entry, int icon,
                   std::string type_name = {}) {
  const WIN32_FIND_DATAW& found = entry.data;
  const std::uint64_t size =
      (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return ExplorerRow{kind,
                     entry.name,
                     icon,
                     true,
                     found.dwFileAttributes,
                     size,
                     found.ftCreationTime,
                     found.ftLastWriteTime,
                     found.ftLastAccessTime,
                     std::move(type_name)};
}

// Directories show their name, attributes and dates; files also size and type.
std::string cell_text(const ExplorerRow& row, int column_kind) {
  const bool is_file = row.kind == ITEM_FILE;
  switch (column_kind) {
    case COLUMN_NAME:
      return row.name;
    case COLUMN_SIZE:
      return is_file ? explorer_size_text(row.size) : std::string();
    case COLUMN_TYPE:
      return is_file ? row.type_name : std::string();
    case COLUMN_ATTRIBUTES:
      return row.on_disk ? explorer_attribute_letters(row.attributes) : std::string();
    case COLUMN_CREATED:
      return row.on_disk ? explorer_date_text(row.created) : std::string();
    case COLUMN_MODIFIED:
      return row.on_disk ? explorer_date_text(row.modified) : std::string();
    case COLUMN_ACCESSED:
      return row.on_disk ? explorer_date_text(row.accessed) : std::string();
    default:
      return {};
  }
}

void set_cell(HWND list, int item, int column, std::string text) {
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = text.data();
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

// Appends an item with the texts of every column; false when the list view
// refuses it.
bool append_item(const ExplorerState* state, int index, const ExplorerRow& row) {
  std::string first = state->column_count > 0 ? cell_text(row, state->column_kinds[0]) : "";
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = first.data();
  item.iImage = row.icon;
  item.lParam = static_cast<LPARAM>(row.kind);
  if (SendMessageA(state->handle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0)
    return false;
  for (int column = 1; column < state->column_count; ++column) {
    std::string text = cell_text(row, state->column_kinds[column]);
    if (!text.empty()) set_cell(state->handle, index, column, std::move(text));
  }
  return true;
}

// Calls `visit` for every entry of a search ("C:\dir\*.jpg"). Names are read
// wide and converted exactly; an entry whose name the ANSI code page cannot
// hold is not listed, since nothing done with a look-alike of its name
// would reach it (and could reach another file).
template <typename Visit>
void for_each_entry(const std::string& search, Visit visit) {
  std::wstring wide_search;
  if (!wide_from_ansi(search, wide_search)) return;
  FoundEntry entry{};
  FindHandle find(FindFirstFileExW(wide_search.c_str(), FindExInfoBasic, &entry.data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    if (ansi_from_wide(entry.data.cFileName, entry.name)) visit(std::as_const(entry));
  } while (FindNextFileW(find.get(), &entry.data));
}

bool is_dot_entry(const std::string& name) {
  return name == "." || name == "..";
}

bool same_path(std::string_view a, std::string_view b) {
  return lstrcmpiA(std::string(a).c_str(), std::string(b).c_str()) == 0;
}

void list_directory(const ExplorerState* state, std::vector<ExplorerRow>* rows) {
  const ExplorerShell& shell = explorer_shell();
  const std::string directory = state->directory;
  if (!(state->flags & EXPLORER_NO_PARENT)) {
    const bool documents = shell.documents_known && !(state->flags & EXPLORER_NO_DOCUMENTS) &&
                           same_path(directory, shell.documents_path);
    const bool to_root = explorer_is_drive_root(directory) || documents;
    rows->push_back(
        row_of(to_root ? ITEM_PARENT_ROOT : ITEM_PARENT_DIRECTORY, "..", shell.folder_icon));
  }
  if (!(state->flags & EXPLORER_NO_DIRECTORIES)) {
    for_each_entry(directory + "*.*", [&](const FoundEntry& found) {
      if (!(found.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || is_dot_entry(found.name))
        return;
      rows->push_back(row_of(ITEM_DIRECTORY, found, shell.folder_icon));
    });
  }
  if (state->flags & EXPLORER_NO_FILES) return;
  // A file that matches several patterns is listed once for each.
  LockGuard guard(&explorer_shell().list_lock);
  for (const std::string& pattern : explorer_split_patterns(state->patterns)) {
    for_each_entry(directory + pattern, [&](const FoundEntry& found) {
      if (found.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
      int icon = 0;
      std::string type_name;
      explorer_file_type(directory + found.name, &icon, &type_name);
      rows->push_back(row_of(ITEM_FILE, found, icon, std::move(type_name)));
    });
  }
}

void list_root(const ExplorerState* state, std::vector<ExplorerRow>* rows) {
  if (state->flags & EXPLORER_NO_DIRECTORIES) return;
  const DWORD drives = GetLogicalDrives();
  for (int drive = 0; drive <= ITEM_LAST_DRIVE; ++drive) {
    if (!(drives & (1u << drive))) continue;
    std::string name;
    int icon = 0;
    explorer_drive_info(drive, &name, &icon);
    rows->push_back(row_of(drive, name, icon));
  }
  const ExplorerShell& shell = explorer_shell();
  if (shell.documents_known && !(state->flags & EXPLORER_NO_DOCUMENTS))
    rows->push_back(row_of(ITEM_DOCUMENTS, shell.documents_name, shell.documents_icon));
}

// A text longer than the platform's paths leaves the old one in place
// rather than a cut one that could name something else.
void copy_text(std::string& target, const std::string& text) {
  if (path_fits_platform(text)) target = text;
}

// Takes over the parts of a location that fit the record.
void take_location(ExplorerState* state, const ExplorerLocation& location) {
  if (location.directory_changes) copy_text(state->directory, location.directory);
  if (location.patterns_change) copy_text(state->patterns, location.patterns);
}

// The list view puts column 0's text on the left whatever it is asked, so
// a size column that moves away from the front is aligned again.
void align_columns(const ExplorerState* state) {
  for (int column = 0; column < state->column_count; ++column) {
    LVCOLUMNA format{};
    format.mask = LVCF_FMT;
    format.fmt = state->column_kinds[column] == COLUMN_SIZE ? LVCFMT_RIGHT : LVCFMT_LEFT;
    SendMessageA(state->handle, LVM_SETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&format));
  }
}

// Writes the cells of the columns from `first` up to `end` of every item
// again from the rows; the whole list when the items no longer match them.
void rewrite_columns(ExplorerState* state, int first, int end) {
  const ExplorerRows& listed = state->rows;
  const int count = static_cast<int>(SendMessageA(state->handle, LVM_GETITEMCOUNT, 0, 0));
  if (count != static_cast<int>(listed.of_item.size())) {
    explorer_refresh(state);
    return;
  }
  for (int item = 0; item < count; ++item) {
    const ExplorerRow& row = listed.rows[static_cast<std::size_t>(listed.of_item[item])];
    for (int column = first; column < end; ++column)
      set_cell(state->handle, item, column, cell_text(row, state->column_kinds[column]));
  }
}

// After a column came or went, the list view has moved the cells of the
// columns behind it; the cells of a new column are written, and all of
// them when column 0 changed, since the list view keeps an item's own text
// with column 0 whatever moves. The list is sorted again when its sort
// column now shows something else.
void columns_changed(ExplorerState* state, int sorted_by, int first, int end) {
  align_columns(state);
  rewrite_columns(state, first, end);
  const int now = explorer_sort_kind(state);
  if (now != sorted_by || now == COLUMN_TEXT) explorer_sort(state);
}

}  // namespace

void explorer_refresh(ExplorerState* state) {
  CriticalErrorBoxesOff boxes_off;
  explorer_monitor_watch(state->handle, state->directory.c_str());
  ExplorerRows& listed = state->rows;
  listed.rows.clear();
  listed.of_item.clear();
  if (!state->directory.empty())
    list_directory(state, &listed.rows);
  else
    list_root(state, &listed.rows);
  {
    ExplorerRedrawPaused paused(state->handle);
    SendMessageA(state->handle, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < listed.rows.size(); ++row)
      if (append_item(state, static_cast<int>(listed.of_item.size()), listed.rows[row]))
        listed.of_item.push_back(static_cast<std::int32_t>(row));
  }
  explorer_sort(state);
}

void explorer_show(ExplorerState* state, const char* text) {
  take_location(state, explorer_parse_location(text_of(text)));
  explorer_refresh(state);
}

bool explorer_insert_column(ExplorerState* state, int position, const char* title, int width) {
  if (state->column_count >= EXPLORER_MAX_COLUMNS) return false;
  if (position < 0 || position > state->column_count) position = state->column_count;
  const int sorted_by = explorer_sort_kind(state);
  const ExplorerColumnKind kind = explorer_column_kind(text_of(title));
  std::string shown = explorer_column_title(text_of(title));
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = kind == COLUMN_SIZE ? LVCFMT_RIGHT : LVCFMT_LEFT;
  column.cx = dpi_scale(width, state->dpi);
  column.pszText = shown.data();
  column.iSubItem = position;
  ExplorerRedrawPaused paused(state->handle);
  const int index =
      static_cast<int>(SendMessageA(state->handle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position),
                                    reinterpret_cast<LPARAM>(&column)));
  if (index < 0) return false;
  std::memmove(&state->column_kinds[index + 1], &state->column_kinds[index],
               static_cast<std::size_t>(state->column_count - index));
  state->column_kinds[index] = kind;
  ++state->column_count;
  if (index == 0)
    columns_changed(state, sorted_by, 0, state->column_count);
  else
    columns_changed(state, sorted_by, index, index + 1);
  return true;
}

bool explorer_delete_column(ExplorerState* state, int position) {
  if (position < 0 || position >= state->column_count) return false;
  const int sorted_by = explorer_sort_kind(state);
  ExplorerRedrawPaused paused(state->handle);
  if (!SendMessageA(state->handle, LVM_DELETECOLUMN, static_cast<WPARAM>(position), 0))
    return false;
  std::memmove(&state->column_kinds[position], &state->column_kinds[position + 1],
               static_cast<std::size_t>(state->column_count - position - 1));
  --state->column_count;
  columns_changed(state, sorted_by, 0, position == 0 ? state->column_count : 0);
  return true;
}

void explorer_follow_dpi(ExplorerState* state) {
  const int dpi = dpi_of_window(state->handle);
  if (dpi == state->dpi) return;
  for (int column = 0; column < state->column_count; ++column) {
    const int width = static_cast<int>(
        SendMessageA(state->handle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    SendMessageA(state->handle, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                 MAKELPARAM(dpi_scale(dpi_unscale(width, state->dpi), dpi), 0));
  }
  state->dpi = dpi;
}
