// The preference file over POSIX files, for the host build.
#include "prefs/prefs_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

struct PrefsFile {
  int fd;
};

namespace {
// Only a regular file is a preference file.
PrefsFile* wrap(int fd) {
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  auto* file = new (std::nothrow) PrefsFile{fd};
  if (!file) close(fd);
  return file;
}
}  // namespace

PrefsFile* prefs_file_open(const char* name, bool* read_only) {
  *read_only = false;
  int fd = open(name, O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    *read_only = true;
    fd = open(name, O_RDONLY | O_CLOEXEC);
  }
  return wrap(fd);
}

PrefsFile* prefs_file_create(const char* name) {
  return wrap(open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0644));
}

bool prefs_file_read(PrefsFile* file, std::string* contents) {
  contents->clear();
  char buffer[65536];
  while (true) {
    ssize_t got = read(file->fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    contents->append(buffer, static_cast<std::size_t>(got));
  }
}

bool prefs_file_size(PrefsFile* file, std::uint64_t* size) {
  struct stat info {};
  if (fstat(file->fd, &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool prefs_file_write_at(PrefsFile* file, std::uint64_t offset, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written =
        pwrite(file->fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += static_cast<std::uint64_t>(written);
  }
  return true;
}

bool prefs_file_cut(PrefsFile* file, std::uint64_t size) {
  return ftruncate(file->fd, static_cast<off_t>(size)) == 0 && fsync(file->fd) == 0;
}

void prefs_file_close(PrefsFile* file) {
  if (!file) return;
  close(file->fd);
  delete file;
}
