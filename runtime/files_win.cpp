// File operations over the Win32 file system calls.
#include "runtime/files.h"

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/scoped_win.h"

namespace {

bool known_drive(const std::string& root) {
  UINT type = GetDriveTypeA(root.c_str());
  return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

std::int64_t size_by_attributes(const std::string& name) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_SIZE_DIRECTORY : FILE_SIZE_MISSING;
  std::string root = name;
  if (root.back() != '\\') root.push_back('\\');
  return known_drive(root) ? FILE_SIZE_DIRECTORY : FILE_SIZE_MISSING;
}

}  // namespace

std::int64_t file_size(std::string_view path) {
  if (path.empty() || !path_fits_buffer(path)) return FILE_SIZE_MISSING;
  std::string drive = drive_root_of(path);
  if (!drive.empty()) return known_drive(drive) ? FILE_SIZE_DIRECTORY : FILE_SIZE_MISSING;
  std::string name = trim_trailing(path, "\\");
  WIN32_FIND_DATAA found{};
  FindHandle search(FindFirstFileA(name.c_str(), &found));
  if (search) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FILE_SIZE_DIRECTORY;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(found.nFileSizeHigh) << 32 |
                                     found.nFileSizeLow);
  }
  if (name.rfind("\\\\", 0) == 0 || name.rfind("..", 0) == 0) return size_by_attributes(name);
  return FILE_SIZE_MISSING;
}

int file_delete(std::string_view path) {
  if (path.empty()) return 0;
  return DeleteFileA(std::string(path).c_str()) ? 1 : 0;
}

int file_copy(std::string_view source, std::string_view destination) {
  if (source.empty() || destination.empty()) return 0;
  const std::string to(destination);
  if (!CopyFileA(std::string(source).c_str(), to.c_str(), FALSE)) return 0;
  // The copy takes the source's attributes; a read-only one would be a copy
  // that can be neither deleted nor written again.
  const DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return 1;
}

int file_rename(std::string_view old_name, std::string_view new_name) {
  if (old_name.empty() || new_name.empty()) return 0;
  return MoveFileA(std::string(old_name).c_str(), std::string(new_name).c_str()) ? 1 : 0;
}

int directory_create(std::string_view path) {
  if (path.empty() || !path_fits_buffer(path)) return 0;
  std::string name = trim_trailing(path, " \\/");
  return CreateDirectoryA(name.c_str(), nullptr) ? 1 : 0;
}

std::string directory_current() {
  std::vector<char> buffer(PATH_BUFFER_LENGTH);
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {  // longer than the buffer: ask again with room for it
    buffer.resize(length + 1);
    length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  std::string current(buffer.data(), length < buffer.size() ? length : 0);
  if (current.empty() || current.back() != '\\') current.push_back('\\');
  return current;
}

int directory_set_current(std::string_view path) {
  if (path.empty()) return 0;
  return SetCurrentDirectoryA(std::string(path).c_str()) ? 1 : 0;
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
  if (source.empty() || destination.empty()) return 0;
  const std::string from(source), to(destination);
  // Windows refuses to replace a read-only file; Wine's move replaces it.
  // The refusal is made here, so that a file the user protected stays.
  const DWORD target = GetFileAttributesA(to.c_str());
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return 1;
    if (attempt == kMoveAttempts || !held_by_another_program(GetLastError())) return 0;
    Sleep(kMoveRetryMilliseconds);
  }
}

int file_replace(std::string_view source, std::string_view destination) {
  if (source.empty() || destination.empty()) return 0;
  // The new file's data reach the disk before the name does, so that the
  // move cannot put a name on bytes that are still only in the cache.
  KernelHandle file(CreateFileA(std::string(source).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  const KernelHandle file(CreateFileA(std::string(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? std::string() : file_error_text();
}

bool directory_is_writable(std::string_view path) {
  std::string probe = trim_trailing(path, "\\/") + "\\~skalaro-probe-" +
                      std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  const KernelHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(file);
}
