// The preference file over Win32 files.
#include "prefs/prefs_file.h"

#include <windows.h>

#include <new>

struct PrefsFile {
  HANDLE handle;
};

namespace {

constexpr DWORD kLargestRead = 1u << 30;

HANDLE open_existing(const char* name, DWORD access, DWORD sharing) {
  return CreateFileA(name, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

PrefsFile* wrap(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  auto* file = new (std::nothrow) PrefsFile{handle};
  if (!file) CloseHandle(handle);
  return file;
}

}  // namespace

PrefsFile* prefs_file_open(const char* name, bool* read_only) {
  *read_only = false;
  HANDLE handle = open_existing(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  if (handle == INVALID_HANDLE_VALUE) {
    *read_only = true;
    handle = open_existing(name, GENERIC_READ, FILE_SHARE_READ);
    if (handle == INVALID_HANDLE_VALUE)
      handle = open_existing(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  }
  return wrap(handle);
}

PrefsFile* prefs_file_create(const char* name) {
  return wrap(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool prefs_file_read(PrefsFile* file, std::string* contents) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file->handle, &size) || size.QuadPart > 0x7FFFFFFF) return false;
  try {
    contents->resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::size_t done = 0;
  while (done < contents->size()) {
    DWORD chunk = static_cast<DWORD>(
        contents->size() - done < kLargestRead ? contents->size() - done : kLargestRead);
    DWORD got = 0;
    if (!ReadFile(file->handle, contents->data() + done, chunk, &got, nullptr) || got == 0) break;
    done += got;
  }
  contents->resize(done);  // the count actually read is the size
  return true;
}

bool prefs_file_rewrite(PrefsFile* file, const std::string& contents) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file->handle, start, nullptr, FILE_BEGIN)) return false;
  DWORD written = 0;
  if (!contents.empty() && (!WriteFile(file->handle, contents.data(),
                                       static_cast<DWORD>(contents.size()), &written, nullptr) ||
                            written != contents.size()))
    return false;
  return SetEndOfFile(file->handle) != FALSE;
}

void prefs_file_close(PrefsFile* file) {
  if (!file) return;
  CloseHandle(file->handle);
  delete file;
}
