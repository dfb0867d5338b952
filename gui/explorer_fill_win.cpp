// Filling an explorer list: the location a text asks for, then the items of
// one directory (parent entry, directories, the files of every pattern) or of
// the root view (drives, the documents entry), and the columns whose kinds
// decide what each item shows.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "gui/explorer_monitor.h"
#include "gui/explorer_state.h"
#include "runtime/files.h"
#include "runtime/scoped_win.h"
#include "runtime/strings.h"

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

// The control draws nothing while its items are replaced.
class RedrawPaused {
 public:
  explicit RedrawPaused(HWND list) : list_(list) { SendMessageA(list_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawPaused() {
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
  RedrawPaused(const RedrawPaused&) = delete;
  RedrawPaused& operator=(const RedrawPaused&) = delete;

 private:
  HWND list_;
};

// One item as its columns show it. Directories and files carry their find
// data; files also their type name.
struct ItemContent {
  std::int64_t kind;
  std::string_view name;
  int icon;
  const WIN32_FIND_DATAA* found = nullptr;
  std::string_view type_name = {};
};

std::uint64_t size_of(const WIN32_FIND_DATAA& found) {
  return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

std::string column_text(const ItemContent& item, int column_kind) {
  const bool is_file = item.kind == ITEM_FILE;
  switch (column_kind) {
    case COLUMN_NAME:
      return std::string(item.name);
    case COLUMN_SIZE:
      return is_file ? explorer_size_text(size_of(*item.found)) : std::string();
    case COLUMN_TYPE:
      return is_file ? std::string(item.type_name) : std::string();
    case COLUMN_ATTRIBUTES:
      return item.found ? explorer_attribute_letters(item.found->dwFileAttributes) : std::string();
    case COLUMN_CREATED:
      return item.found ? explorer_date_text(item.found->ftCreationTime) : std::string();
    case COLUMN_MODIFIED:
      return item.found ? explorer_date_text(item.found->ftLastWriteTime) : std::string();
    case COLUMN_ACCESSED:
      return item.found ? explorer_date_text(item.found->ftLastAccessTime) : std::string();
    default:
      return {};
  }
}

// Appends items with the texts of every column.
class ItemWriter {
 public:
  explicit ItemWriter(const ExplorerState* state) : state_(state) {}

  void add(const ItemContent& item) {
    std::string first = state_->column_count > 0 ? column_text(item, state_->column_kinds[0]) : "";
    LVITEMA row{};
    row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    row.iItem = next_;
    row.pszText = first.data();
    row.iImage = item.icon;
    row.lParam = static_cast<LPARAM>(item.kind);
    const int index = static_cast<int>(
        SendMessageA(state_->handle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
    if (index < 0) return;
    ++next_;
    for (int column = 1; column < state_->column_count; ++column) {
      std::string text = column_text(item, state_->column_kinds[column]);
      if (text.empty()) continue;
      LVITEMA cell{};
      cell.iSubItem = column;
      cell.pszText = text.data();
      SendMessageA(state_->handle, LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&cell));
    }
  }

 private:
  const ExplorerState* state_;
  int next_ = 0;
};

// Calls `visit` for every entry of a search ("C:\dir\*.jpg").
template <typename Visit>
void for_each_entry(const std::string& search, Visit visit) {
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileExA(search.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do visit(found);
  while (FindNextFileA(find.get(), &found));
}

bool is_dot_entry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool same_path(std::string_view a, std::string_view b) {
  return lstrcmpiA(std::string(a).c_str(), std::string(b).c_str()) == 0;
}

void list_directory(const ExplorerState* state, ItemWriter* writer) {
  const ExplorerShell& shell = explorer_shell();
  const std::string directory = state->directory;
  if (!(state->flags & EXPLORER_NO_PARENT)) {
    const bool documents = shell.documents_known && !(state->flags & EXPLORER_NO_DOCUMENTS) &&
                           same_path(directory, shell.documents_path);
    const bool to_root = explorer_is_drive_root(directory) || documents;
    writer->add({to_root ? ITEM_PARENT_ROOT : ITEM_PARENT_DIRECTORY, "..", shell.folder_icon});
  }
  if (!(state->flags & EXPLORER_NO_DIRECTORIES)) {
    for_each_entry(directory + "*.*", [&](const WIN32_FIND_DATAA& found) {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || is_dot_entry(found.cFileName))
        return;
      writer->add({ITEM_DIRECTORY, found.cFileName, shell.folder_icon, &found});
    });
  }
  if (state->flags & EXPLORER_NO_FILES) return;
  // A file that matches several patterns is listed once for each.
  LockGuard guard(&explorer_shell().list_lock);
  for (const std::string& pattern : explorer_split_patterns(state->patterns)) {
    for_each_entry(directory + pattern, [&](const WIN32_FIND_DATAA& found) {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
      int icon = 0;
      std::string type_name;
      explorer_file_type(directory + found.cFileName, &icon, &type_name);
      writer->add({ITEM_FILE, found.cFileName, icon, &found, type_name});
    });
  }
}

void list_root(const ExplorerState* state, ItemWriter* writer) {
  if (state->flags & EXPLORER_NO_DIRECTORIES) return;
  const DWORD drives = GetLogicalDrives();
  for (int drive = 0; drive <= ITEM_LAST_DRIVE; ++drive) {
    if (!(drives & (1u << drive))) continue;
    std::string name;
    int icon = 0;
    explorer_drive_info(drive, &name, &icon);
    writer->add({drive, name, icon});
  }
  const ExplorerShell& shell = explorer_shell();
  if (shell.documents_known && !(state->flags & EXPLORER_NO_DOCUMENTS))
    writer->add({ITEM_DOCUMENTS, shell.documents_name, shell.documents_icon});
}

void copy_text(char (&target)[EXPLORER_TEXT_LENGTH], const std::string& text) {
  std::memcpy(target, text.c_str(), text.size() + 1);
}

// Takes over the parts of a location that fit the record; a directory or
// pattern list too long for it leaves the old one in place rather than a
// cut one that could name something else.
void take_location(ExplorerState* state, const ExplorerLocation& location) {
  if (location.directory_changes && path_fits_buffer(location.directory))
    copy_text(state->directory, location.directory);
  if (location.patterns_change && path_fits_buffer(location.patterns))
    copy_text(state->patterns, location.patterns);
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

}  // namespace

void explorer_refresh(ExplorerState* state) {
  CriticalErrorBoxesOff boxes_off;
  explorer_monitor_watch(state->handle, state->directory);
  RedrawPaused paused(state->handle);
  SendMessageA(state->handle, LVM_DELETEALLITEMS, 0, 0);
  ItemWriter writer(state);
  if (state->directory[0])
    list_directory(state, &writer);
  else
    list_root(state, &writer);
  explorer_sort(state);
}

void explorer_show(ExplorerState* state, const char* text) {
  take_location(state, explorer_parse_location(text_of(text)));
  explorer_refresh(state);
}

bool explorer_insert_column(ExplorerState* state, int position, const char* title, int width) {
  if (state->column_count >= EXPLORER_MAX_COLUMNS) return false;
  if (position < 0 || position > state->column_count) position = state->column_count;
  const ExplorerColumnKind kind = explorer_column_kind(text_of(title));
  std::string shown = explorer_column_title(text_of(title));
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = kind == COLUMN_SIZE ? LVCFMT_RIGHT : LVCFMT_LEFT;
  column.cx = width;
  column.pszText = shown.data();
  column.iSubItem = position;
  const int index =
      static_cast<int>(SendMessageA(state->handle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position),
                                    reinterpret_cast<LPARAM>(&column)));
  if (index < 0) return false;
  std::memmove(&state->column_kinds[index + 1], &state->column_kinds[index],
               static_cast<std::size_t>(state->column_count - index));
  state->column_kinds[index] = kind;
  ++state->column_count;
  align_columns(state);
  return true;
}

bool explorer_delete_column(ExplorerState* state, int position) {
  if (position < 0 || position >= state->column_count) return false;
  if (!SendMessageA(state->handle, LVM_DELETECOLUMN, static_cast<WPARAM>(position), 0))
    return false;
  std::memmove(&state->column_kinds[position], &state->column_kinds[position + 1],
               static_cast<std::size_t>(state->column_count - position - 1));
  --state->column_count;
  align_columns(state);
  return true;
}
