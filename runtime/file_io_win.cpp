// Whole-file reading and safe file writing on Windows.
#include "runtime/file_io.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr DWORD kLargestTransfer = 1u << 30;
}

bool file_read_whole(const char* name, std::vector<std::uint8_t>& contents,
                     std::uint64_t max_size) {
  contents.clear();
  if (!name || !*name) return false;
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) <= max_size;
  if (ok) {
    try {
      contents.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (...) {
      ok = false;
    }
  }
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, kLargestTransfer));
    DWORD read = 0;
    ok = ReadFile(file, contents.data() + done, chunk, &read, nullptr) && read == chunk;
    done += read;
  }
  CloseHandle(file);
  if (!ok) contents.clear();
  return ok;
}

bool file_exists(const char* name) {
  return name && GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

bool OutputFile::create(const char* name) {
  discard();
  if (!name || !*name) return false;
  HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = file;
  name_.assign(name, name + std::strlen(name) + 1);
  return true;
}

bool OutputFile::write(const void* data, std::size_t size) {
  if (!handle_) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kLargestTransfer));
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written != chunk) {
      discard();
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

bool OutputFile::commit() {
  if (!handle_) return false;
  bool closed = CloseHandle(handle_) != FALSE;
  handle_ = nullptr;
  if (!closed) DeleteFileA(name_.data());
  return closed;
}

void OutputFile::discard() {
  if (!handle_) return;
  CloseHandle(handle_);
  handle_ = nullptr;
  DeleteFileA(name_.data());
}
