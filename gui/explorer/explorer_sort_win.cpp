// Sorting an explorer list by one column. For the duration of the sort each
// item's parameter (its kind) is replaced by a key read from the column
// (its text, a size or a file time); the list view sorts with the portable
// comparison, then the kinds go back.
#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

#include "gui/explorer/explorer_state.h"

namespace {

struct SortContext {
  int column_kind;
  int direction;
  bool root_view;
};

int CALLBACK compare_items(LPARAM first, LPARAM second, LPARAM context) {
  const auto* sort = reinterpret_cast<const SortContext*>(context);
  return explorer_compare(*reinterpret_cast<const ExplorerSortKey*>(first),
                          *reinterpret_cast<const ExplorerSortKey*>(second), sort->column_kind,
                          sort->direction, sort->root_view);
}

// The file time a date column shows, read again from the file system.
std::uint64_t file_time(const std::string& path, int column_kind) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  const FILETIME& time = column_kind == COLUMN_CREATED    ? data.ftCreationTime
                         : column_kind == COLUMN_ACCESSED ? data.ftLastAccessTime
                                                          : data.ftLastWriteTime;
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ExplorerSortKey key_of(const ExplorerState* state, int item, int column_kind, int names) {
  ExplorerSortKey key{
      static_cast<std::int64_t>(explorer_item_parameter(state->handle, item)), {}, 0};
  if (column_kind == COLUMN_SIZE) {
    key.number = static_cast<std::uint64_t>(
        explorer_size_key(explorer_item_text(state->handle, item, state->sort_column)));
  } else if (explorer_is_date_column(column_kind)) {
    if (key.kind == ITEM_DIRECTORY || key.kind == ITEM_FILE)
      key.number =
          file_time(state->directory + explorer_item_text(state->handle, item, names), column_kind);
  } else {
    key.order = explorer_order_key(explorer_item_text(state->handle, item, state->sort_column));
  }
  return key;
}

}  // namespace

int explorer_sort_kind(const ExplorerState* state) {
  if (state->sort_direction == 0 || state->sort_column < 0 ||
      state->sort_column >= state->column_count)
    return -1;
  return state->column_kinds[state->sort_column];
}

void explorer_sort(ExplorerState* state) {
  const int column_kind = explorer_sort_kind(state);
  if (!explorer_column_sorts(column_kind)) return;
  const int names = explorer_name_column(state);
  if (explorer_is_date_column(column_kind) && names < 0) return;

  const HWND list = state->handle;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  std::vector<ExplorerSortKey> keys;
  keys.reserve(static_cast<std::size_t>(count));
  for (int item = 0; item < count; ++item) keys.push_back(key_of(state, item, column_kind, names));
  ExplorerRedrawPaused paused(list);
  for (int item = 0; item < count; ++item)
    explorer_set_item_parameter(list, item,
                                reinterpret_cast<LPARAM>(&keys[static_cast<std::size_t>(item)]));
  SortContext context{column_kind, state->sort_direction, state->directory.empty()};
  SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
               reinterpret_cast<LPARAM>(compare_items));
  // Each key's place among the keys is the item's place before the sort.
  std::vector<std::int32_t>& of_item = state->rows.of_item;
  const bool rows_follow = of_item.size() == keys.size();
  std::vector<std::int32_t> sorted_rows(rows_follow ? of_item.size() : 0);
  for (int item = 0; item < count; ++item) {
    const auto* key = reinterpret_cast<const ExplorerSortKey*>(explorer_item_parameter(list, item));
    if (rows_follow)
      sorted_rows[static_cast<std::size_t>(item)] =
          of_item[static_cast<std::size_t>(key - keys.data())];
    explorer_set_item_parameter(list, item, static_cast<LPARAM>(key->kind));
  }
  if (rows_follow) of_item = std::move(sorted_rows);
}

void explorer_header_click(ExplorerState* state, int column) {
  if (column == state->sort_column && state->sort_direction != 0) {
    state->sort_direction = -state->sort_direction;
  } else {
    state->sort_column = column;
    state->sort_direction = 1;
  }
  explorer_sort(state);
}
