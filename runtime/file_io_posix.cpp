// Whole-file reading and safe file writing on the host build.
#include "runtime/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <utility>

#include "runtime/files.h"

namespace {
int descriptor(void* handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)) - 1;
}
void* handle_of(int fd) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
}

// When the program was loaded, which stands for the process's start.
const timespec process_start = [] {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now;
}();
}  // namespace

bool file_read_whole(const char* name, std::vector<std::uint8_t>& contents,
                     std::uint64_t max_size) {
  contents.clear();
  if (!name || !*name) return false;
  int fd = open(name, O_RDONLY);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::uint64_t>(info.st_size) <= max_size;
  if (ok) {
    try {
      contents.resize(static_cast<std::size_t>(info.st_size));
    } catch (...) {
      ok = false;
    }
  }
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    ssize_t got = read(fd, contents.data() + done, contents.size() - done);
    if (got < 0 && errno == EINTR) continue;
    ok = got > 0;
    if (ok) done += static_cast<std::size_t>(got);
  }
  close(fd);
  if (!ok) contents.clear();
  return ok;
}

bool file_exists(const char* name) {
  struct stat info {};
  return name && stat(name, &info) == 0;
}

void* output_file_create_new(const char* name, const char* target, bool* exists) {
  // The new file takes the permissions of the file it will replace.
  struct stat existing {};
  const mode_t mode = stat(target, &existing) == 0 ? existing.st_mode & 07777 : 0644;
  const int fd = open(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    *exists = errno == EEXIST;
    return nullptr;
  }
  fchmod(fd, mode);
  return handle_of(fd);
}

bool file_older_than_process(const char* name) {
  struct stat info {};
  if (stat(name, &info) != 0) return false;
  const time_t latest_leftover = process_start.tv_sec - OUTPUT_LEFTOVER_MARGIN_SECONDS;
  return info.st_mtim.tv_sec < latest_leftover ||
         (info.st_mtim.tv_sec == latest_leftover && info.st_mtim.tv_nsec < process_start.tv_nsec);
}

bool OutputFile::write(const void* data, std::size_t size) {
  if (!handle_) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = ::write(descriptor(handle_), bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      discard();
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool OutputFile::commit() {
  if (!handle_) return false;
  const int fd = descriptor(std::exchange(handle_, nullptr));
  const bool synced = fsync(fd) == 0;
  const bool placed = close(fd) == 0 && synced && file_move_over(temporary_, target_);
  if (!placed) unlink(temporary_.c_str());
  return placed;
}

void OutputFile::discard() {
  if (!handle_) return;
  close(descriptor(std::exchange(handle_, nullptr)));
  unlink(temporary_.c_str());
}
