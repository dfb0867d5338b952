// File operations over the Win32 file system calls. Paths go to the wide
// calls, which take long paths where Windows allows them.
#include "runtime/files.h"

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/run_once.h"
#include "runtime/scoped_win.h"
#include "runtime/wide_text.h"

namespace {

RunOnceGuard long_paths_guard = 0;
bool long_paths = false;

// Windows 10 (1607 and later) tells whether this process may use long
// paths: the system's setting, and the manifest's declaration. Wine 8 lacks
// that call, while its wide calls take long paths; there the setting that
// Windows goes by decides.
void find_long_paths() {
  using AreLongPathsEnabled = BOOLEAN(NTAPI*)();
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto call = reinterpret_cast<AreLongPathsEnabled>(
      reinterpret_cast<void*>(ntdll ? GetProcAddress(ntdll, "RtlAreLongPathsEnabled") : nullptr));
  if (call) {
    long_paths = call() != 0;
    return;
  }
  DWORD value = 0, size = sizeof value;
  long_paths =
      RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                   "LongPathsEnabled", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
      value == 1;
}

bool known_drive(const std::wstring& root) {
  UINT type = GetDriveTypeW(root.c_str());
  return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

std::int64_t size_by_attributes(const std::wstring& name) {
  DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_SIZE_DIRECTORY : FILE_SIZE_MISSING;
  std::wstring root = name;
  if (root.back() != L'\\') root.push_back(L'\\');
  return known_drive(root) ? FILE_SIZE_DIRECTORY : FILE_SIZE_MISSING;
}

// Both paths for the wide calls; false (with the reason as the last error)
// when one cannot be.
bool wide_paths(std::string_view a, std::string_view b, std::wstring& wide_a,
                std::wstring& wide_b) {
  return wide_path_from_ansi(a, wide_a) && wide_path_from_ansi(b, wide_b);
}

}  // namespace

bool long_paths_allowed() {
  run_once(&long_paths_guard, find_long_paths);
  return long_paths;
}

std::int64_t file_size(std::string_view path) {
  std::wstring name;
  if (path.empty() || !wide_path_from_ansi(path, name)) return FILE_SIZE_MISSING;
  const std::string drive = drive_root_of(path);
  if (!drive.empty()) {
    std::wstring root;
    return wide_from_ansi(drive, root) && known_drive(root) ? FILE_SIZE_DIRECTORY
                                                            : FILE_SIZE_MISSING;
  }
  while (name.size() > 1 && name.back() == L'\\') name.pop_back();
  WIN32_FIND_DATAW found{};
  FindHandle search(FindFirstFileW(name.c_str(), &found));
  if (search) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FILE_SIZE_DIRECTORY;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(found.nFileSizeHigh) << 32 |
                                     found.nFileSizeLow);
  }
  if (name.rfind(L"\\\\", 0) == 0 || name.rfind(L"..", 0) == 0) return size_by_attributes(name);
  return FILE_SIZE_MISSING;
}

int file_delete(std::string_view path) {
  std::wstring name;
  if (path.empty() || !wide_path_from_ansi(path, name)) return 0;
  return DeleteFileW(name.c_str()) ? 1 : 0;
}

int file_copy(std::string_view source, std::string_view destination) {
  std::wstring from, to;
  if (source.empty() || destination.empty() || !wide_paths(source, destination, from, to)) return 0;
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return 0;
  // The copy takes the source's attributes; a read-only one would be a copy
  // that can be neither deleted nor written again.
  const DWORD attributes = GetFileAttributesW(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return 1;
}

int file_rename(std::string_view old_name, std::string_view new_name) {
  std::wstring from, to;
  if (old_name.empty() || new_name.empty() || !wide_paths(old_name, new_name, from, to)) return 0;
  return MoveFileW(from.c_str(), to.c_str()) ? 1 : 0;
}

int directory_create(std::string_view path) {
  std::wstring name;
  if (path.empty() || !wide_path_from_ansi(trim_trailing(path, " \\/"), name)) return 0;
  return CreateDirectoryW(name.c_str(), nullptr) ? 1 : 0;
}

std::string directory_current() {
  std::vector<wchar_t> buffer(PATH_BUFFER_LENGTH);
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {  // longer than the buffer: ask again with room for it
    buffer.resize(length + 1);
    length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  std::string current;
  if (length >= buffer.size() || !ansi_from_wide(std::wstring_view(buffer.data(), length), current))
    current.clear();
  if (current.empty() || current.back() != '\\') current.push_back('\\');
  return current;
}

int directory_set_current(std::string_view path) {
  std::wstring name;
  if (path.empty() || !wide_path_from_ansi(path, name)) return 0;
  return SetCurrentDirectoryW(name.c_str()) ? 1 : 0;
}

namespace {

// Another program's handle without delete sharing (a virus scanner, an
// indexer, a viewer) refuses the move while it is open; such handles are
// usually closed again within moments.
constexpr int kMoveAttempts = 10;
constexpr DWORD kMoveRetryMilliseconds = 50;

bool held_by_another_program(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

}  // namespace

int file_move_over(std::string_view source, std::string_view destination) {
  std::wstring from, to;
  if (source.empty() || destination.empty() || !wide_paths(source, destination, from, to)) return 0;
  // Windows refuses to replace a read-only file; Wine's move replaces it.
  // The refusal is made here, so that a file the user protected stays.
  const DWORD target = GetFileAttributesW(to.c_str());
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return 1;
    if (attempt == kMoveAttempts || !held_by_another_program(GetLastError())) return 0;
    Sleep(kMoveRetryMilliseconds);
  }
}

int file_replace(std::string_view source, std::string_view destination) {
  std::wstring from;
  if (source.empty() || destination.empty() || !wide_path_from_ansi(source, from)) return 0;
  // The new file's data reach the disk before the name does, so that the
  // move cannot put a name on bytes that are still only in the cache.
  KernelHandle file(CreateFileW(from.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || !FlushFileBuffers(file.get())) return 0;
  file.reset();
  return file_move_over(source, destination);
}

std::string file_error_text() {
  const DWORD error = GetLastError();
  if (error == ERROR_SUCCESS) return {};
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string words = length ? trim_trailing(std::string_view(text, length), " .\r\n") : "";
  LocalFree(text);
  if (words.empty()) words = "Fehler " + std::to_string(error);
  return words;
}

void file_error_clear() {
  SetLastError(ERROR_SUCCESS);
}

std::string file_open_error(std::string_view path) {
  std::wstring name;
  if (!wide_path_from_ansi(path, name)) return file_error_text();
  const KernelHandle file(CreateFileW(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? std::string() : file_error_text();
}

bool directory_is_writable(std::string_view path) {
  std::string probe = trim_trailing(path, "\\/") + "\\~skalaro-probe-" +
                      std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  std::wstring name;
  if (!wide_path_from_ansi(probe, name)) return false;
  const KernelHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(file);
}
