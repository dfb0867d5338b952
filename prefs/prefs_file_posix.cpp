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
PrefsFile* wrap(int fd) {
  if (fd < 0) return nullptr;
  auto* file = new (std::nothrow) PrefsFile{fd};
  if (!file) close(fd);
  return file;
}
}  // namespace

PrefsFile* prefs_file_open(const char* name, bool* read_only) {
  *read_only = false;
  int fd = open(name, O_RDWR);
  if (fd < 0) {
    *read_only = true;
    fd = open(name, O_RDONLY);
  }
  struct stat info {};
  if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    close(fd);
    fd = -1;
  }
  return wrap(fd);
}

PrefsFile* prefs_file_create(const char* name) {
  return wrap(open(name, O_RDWR | O_CREAT | O_TRUNC, 0644));
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

void prefs_file_close(PrefsFile* file) {
  if (!file) return;
  close(file->fd);
  delete file;
}
