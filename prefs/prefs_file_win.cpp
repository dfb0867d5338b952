// The preference file over Win32 files.
#include "prefs/prefs_file.h"

#include <windows.h>

#include <new>
#include <utility>

#include "runtime/scoped_win.h"
#include "runtime/wide_text.h"

struct PrefsFile {
  KernelHandle handle;
};

namespace {

constexpr DWORD kLargestRead = 1u << 30;  // and largest write

// Names go to the wide call, which takes long paths where Windows allows them.
KernelHandle open_file(const char* name, DWORD access, DWORD sharing, DWORD disposition) {
  std::wstring wide;
  if (!wide_path_from_ansi(name, wide)) return KernelHandle();
  return KernelHandle(CreateFileW(wide.c_str(), access, sharing, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

KernelHandle open_existing(const char* name, DWORD access, DWORD sharing) {
  return open_file(name, access, sharing, OPEN_EXISTING);
}

PrefsFile* wrap(KernelHandle handle) {
  if (!handle) return nullptr;
  return new (std::nothrow) PrefsFile{std::move(handle)};
}

}  // namespace

PrefsFile* prefs_file_open(const char* name, bool* read_only) {
  *read_only = false;
  KernelHandle handle = open_existing(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  if (!handle) {
    *read_only = true;
    handle = open_existing(name, GENERIC_READ, FILE_SHARE_READ);
    if (!handle) handle = open_existing(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  }
  return wrap(std::move(handle));
}

PrefsFile* prefs_file_create(const char* name) {
  return wrap(open_file(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));
}

bool prefs_file_read(PrefsFile* file, std::string* contents) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file->handle.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
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
    if (!ReadFile(file->handle.get(), contents->data() + done, chunk, &got, nullptr) || got == 0)
      break;
    done += got;
  }
  contents->resize(done);  // the count actually read is the size
  return true;
}

bool prefs_file_size(PrefsFile* file, std::uint64_t* size) {
  LARGE_INTEGER bytes{};
  if (!GetFileSizeEx(file->handle.get(), &bytes)) return false;
  *size = static_cast<std::uint64_t>(bytes.QuadPart);
  return true;
}

namespace {
bool seek(PrefsFile* file, std::uint64_t offset) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file->handle.get(), at, nullptr, FILE_BEGIN);
}
}  // namespace

bool prefs_file_write_at(PrefsFile* file, std::uint64_t offset, std::string_view bytes) {
  if (!seek(file, offset)) return false;
  while (!bytes.empty()) {
    const DWORD chunk =
        static_cast<DWORD>(bytes.size() < kLargestRead ? bytes.size() : kLargestRead);
    DWORD written = 0;
    if (!WriteFile(file->handle.get(), bytes.data(), chunk, &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool prefs_file_cut(PrefsFile* file, std::uint64_t size) {
  return seek(file, size) && SetEndOfFile(file->handle.get()) &&
         FlushFileBuffers(file->handle.get());
}

void prefs_file_close(PrefsFile* file) {
  delete file;
}
