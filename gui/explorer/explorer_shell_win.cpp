// What the explorer lists take from the shell: the system image lists, the
// folder and drive icons, the documents folder, the column titles, file
// types through the type cache, and date texts in the user's locale.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <objbase.h>

#include <algorithm>
#include <vector>

#include "gui/explorer/explorer_monitor.h"
#include "gui/explorer/explorer_state.h"
#include "runtime/files.h"
#include "runtime/wide_text.h"

namespace {

constexpr const char* kDefaultDocumentsName = "My Documents";
constexpr const char* kDocumentsFolderItem = "::{450d8fba-ad25-11d0-98a8-0800361b1103}";
constexpr UINT kSmallIconRequest = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

std::vector<ExplorerState*>& live_states() {
  static auto* states = new std::vector<ExplorerState*>();
  return *states;
}

// The shell's file information for a path, or for an item identifier with
// SHGFI_PIDL. Gives the image list handle for SHGFI_SYSICONINDEX.
DWORD_PTR file_info(const char* path_or_item, UINT flags, SHFILEINFOA* info) {
  *info = SHFILEINFOA{};
  return SHGetFileInfoA(path_or_item, 0, info, sizeof *info, flags);
}

// Icon and display name of the documents folder, from the first of its item
// identifier, the shell's name for it and its path that answers.
void find_documents(ExplorerShell* shell) {
  LPITEMIDLIST item = nullptr;
  wchar_t wide_path[MAX_PATH] = {};
  std::string path;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &item)) || !item) return;
  // Read wide: a path of MAX_PATH characters can take more bytes than that.
  const bool has_path =
      SHGetPathFromIDListW(item, wide_path) && ansi_from_wide(wide_path, path) && !path.empty();
  const char* sources[3] = {reinterpret_cast<const char*>(item), kDocumentsFolderItem,
                            path.c_str()};
  const UINT source_flags[3] = {SHGFI_PIDL, 0, 0};
  for (int i = 0; i < 3 && has_path; ++i) {
    SHFILEINFOA info;
    if (!file_info(sources[i], kSmallIconRequest | SHGFI_DISPLAYNAME | source_flags[i], &info))
      continue;
    shell->documents_known = true;
    shell->documents_path = folder_path(path);
    shell->documents_icon = info.iIcon;
    shell->documents_name = info.szDisplayName[0] ? info.szDisplayName : kDefaultDocumentsName;
    break;
  }
  CoTaskMemFree(item);
}

// The shell library's own titles replace the defaults where it has them.
void load_titles(ExplorerShell* shell) {
  for (const ExplorerColumnTitle& column : EXPLORER_COLUMN_TITLES)
    shell->titles[column.kind] = column.default_title;
  const HMODULE library = GetModuleHandleA("shell32.dll");
  if (!library) return;
  for (const ExplorerColumnTitle& column : EXPLORER_COLUMN_TITLES) {
    char title[128] = {};
    if (LoadStringA(library, static_cast<UINT>(column.shell_string), title, sizeof title) > 0)
      shell->titles[column.kind] = title;
  }
}

ExplorerShell* set_up_shell() {
  auto* shell = new ExplorerShell();
  lock_init(&shell->list_lock);
  CoInitialize(nullptr);
  explorer_monitor_start();
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  SHFILEINFOA info;
  shell->small_images = reinterpret_cast<HIMAGELIST>(file_info(windows, kSmallIconRequest, &info));
  shell->folder_icon = info.iIcon;
  shell->large_images =
      reinterpret_cast<HIMAGELIST>(file_info(windows, SHGFI_SYSICONINDEX | SHGFI_LARGEICON, &info));
  shell->documents_name = kDefaultDocumentsName;
  find_documents(shell);
  load_titles(shell);
  return shell;
}

// "<short date> <time>" in the user locale's short forms (the system's
// settings for it, not the user's overrides), seconds left out.
std::string local_date_text(const FILETIME& time) {
  // The local time of the file's own date, daylight saving included.
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return {};
  char date[80] = {}, clock[80] = {};
  if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE | LOCALE_NOUSEROVERRIDE, &local, nullptr,
                      date, sizeof date))
    return {};
  if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS | LOCALE_NOUSEROVERRIDE, &local, nullptr,
                      clock, sizeof clock))
    return date;
  return std::string(date) + " " + clock;
}

}  // namespace

ExplorerShell& explorer_shell() {
  static ExplorerShell* shell = set_up_shell();
  return *shell;
}

std::string explorer_column_title(std::string_view title) {
  const ExplorerColumnKind kind = explorer_column_kind(title);
  return kind == COLUMN_TEXT ? std::string(title) : explorer_shell().titles[kind];
}

void explorer_file_type(const std::string& path, int* icon, std::string* type_name) {
  ExplorerTypeCache& cache = explorer_shell().type_cache;
  std::string key;
  const bool cached = explorer_type_key(path, &key);
  if (cached && cache.find(key, icon, type_name)) return;
  SHFILEINFOA info;
  file_info(path.c_str(), kSmallIconRequest | SHGFI_TYPENAME, &info);
  *icon = info.iIcon;
  *type_name = info.szTypeName;
  if (cached) cache.add(key, *type_name, *icon);
}

std::string explorer_date_text(const FILETIME& time) {
  // Files of one directory often share their minute (a batch of pictures
  // written together); the last text is kept per thread.
  constexpr std::uint64_t kTicksPerMinute = 600000000;
  thread_local std::uint64_t last_minute = ~0ull;
  thread_local std::string last_text;
  const std::uint64_t minute =
      ((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
      kTicksPerMinute;
  if (minute == last_minute) return last_text;
  last_text = local_date_text(time);
  last_minute = minute;
  return last_text;
}

void explorer_drive_info(int drive_index, std::string* name, int* icon) {
  SHFILEINFOA info;
  const std::string root = explorer_drive_root(drive_index);
  file_info(root.c_str(), SHGFI_DISPLAYNAME | kSmallIconRequest, &info);
  *name = info.szDisplayName[0] ? info.szDisplayName : root;
  *icon = info.iIcon;
}

void explorer_register_state(ExplorerState* state) {
  live_states().push_back(state);
}

void explorer_unregister_state(ExplorerState* state) {
  auto& states = live_states();
  states.erase(std::remove(states.begin(), states.end(), state), states.end());
}

ExplorerState** explorer_states(std::size_t* count) {
  *count = live_states().size();
  return live_states().data();
}
