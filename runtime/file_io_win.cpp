// Whole-file reading and safe file writing on Windows.
#include "runtime/file_io.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "runtime/files.h"
#include "runtime/scoped_win.h"
#include "runtime/wide_text.h"

namespace {
constexpr DWORD kLargestTransfer = 1u << 30;
}

bool file_read_whole(const char* name, std::vector<std::uint8_t>& contents,
                     std::uint64_t max_size) {
  contents.clear();
  std::wstring wide;
  if (!name || !*name || !wide_path_from_ansi(name, wide)) return false;
  KernelHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  bool ok =
      GetFileSizeEx(file.get(), &size) && static_cast<std::uint64_t>(size.QuadPart) <= max_size;
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
    ok = ReadFile(file.get(), contents.data() + done, chunk, &read, nullptr) && read == chunk;
    done += read;
  }
  if (!ok) contents.clear();
  return ok;
}

bool file_exists(const char* name) {
  std::wstring wide;
  return name && wide_path_from_ansi(name, wide) &&
         GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void* output_file_create_new(const char* name, const char*, bool* exists) {
  std::wstring wide;
  if (!wide_path_from_ansi(name, wide)) return nullptr;
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return file;
  const DWORD error = GetLastError();
  *exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
  return nullptr;
}

bool file_older_than_process(const char* name) {
  WIN32_FILE_ATTRIBUTE_DATA file{};
  FILETIME started{}, ended{}, kernel{}, user{};
  std::wstring wide;
  if (!wide_path_from_ansi(name, wide) ||
      !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &file) ||
      !GetProcessTimes(GetCurrentProcess(), &started, &ended, &kernel, &user))
    return false;
  const auto ticks = [](const FILETIME& time) {  // 100 ns each
    return ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart;
  };
  const std::uint64_t margin = std::uint64_t{OUTPUT_LEFTOVER_MARGIN_SECONDS} * 10'000'000;
  return ticks(file.ftLastWriteTime) + margin < ticks(started);
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
  KernelHandle file(std::exchange(handle_, nullptr));
  const bool placed =
      FlushFileBuffers(file.get()) && file.close() && file_move_over(temporary_, target_);
  if (!placed) file_delete(temporary_);
  return placed;
}

void OutputFile::discard() {
  if (!handle_) return;
  KernelHandle file(std::exchange(handle_, nullptr));
  file.close();  // before the delete, which an open file would refuse
  file_delete(temporary_);
}
