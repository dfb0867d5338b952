// File operations on the host build, over POSIX calls. The host has no
// drives; its directories end with a slash.
#include "runtime/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool fsync_path(const std::string& path, int flags) {
  int fd = open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  return close(fd) == 0 && ok;
}

std::string directory_of(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

// The host build keeps to the limit of a Windows without long paths.
bool long_paths_allowed() {
  return false;
}

std::int64_t file_size(std::string_view path) {
  if (path.empty() || !path_fits_platform(path)) return FILE_SIZE_MISSING;
  struct stat info {};
  if (stat(trim_trailing(path, "/").c_str(), &info) != 0) return FILE_SIZE_MISSING;
  if (S_ISDIR(info.st_mode)) return FILE_SIZE_DIRECTORY;
  return static_cast<std::int64_t>(info.st_size);
}

int file_delete(std::string_view path) {
  if (path.empty()) return 0;
  return unlink(std::string(path).c_str()) == 0 ? 1 : 0;
}

int file_copy(std::string_view source, std::string_view destination) {
  if (source.empty() || destination.empty()) return 0;
  std::FILE* in = std::fopen(std::string(source).c_str(), "rb");
  if (!in) return 0;
  std::FILE* out = std::fopen(std::string(destination).c_str(), "wb");
  bool ok = out != nullptr;
  std::vector<char> buffer(1 << 16);
  while (ok) {
    std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
    if (got == 0) {
      ok = !std::ferror(in);
      break;
    }
    ok = std::fwrite(buffer.data(), 1, got, out) == got;
  }
  std::fclose(in);
  if (out && std::fclose(out) != 0) ok = false;
  return ok ? 1 : 0;
}

int file_rename(std::string_view old_name, std::string_view new_name) {
  if (old_name.empty() || new_name.empty()) return 0;
  // rename() would replace an existing name; a hard link refuses to.
  const std::string from(old_name), to(new_name);
  if (link(from.c_str(), to.c_str()) != 0) return 0;
  unlink(from.c_str());
  return 1;
}

int directory_create(std::string_view path) {
  if (path.empty() || !path_fits_platform(path)) return 0;
  return mkdir(trim_trailing(path, " \\/").c_str(), 0777) == 0 ? 1 : 0;
}

std::string directory_current() {
  std::vector<char> buffer(PATH_BUFFER_LENGTH);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  std::string current(buffer.data());
  if (current.back() != '/') current.push_back('/');
  return current;
}

int directory_set_current(std::string_view path) {
  if (path.empty()) return 0;
  return chdir(std::string(path).c_str()) == 0 ? 1 : 0;
}

int file_move_over(std::string_view source, std::string_view destination) {
  if (source.empty() || destination.empty()) return 0;
  const std::string from(source), to(destination);
  struct stat target {};
  if (stat(to.c_str(), &target) == 0 && !(target.st_mode & S_IWUSR)) {  // read-only
    errno = EACCES;
    return 0;
  }
  if (std::rename(from.c_str(), to.c_str()) != 0) return 0;
  fsync_path(directory_of(to), O_RDONLY | O_DIRECTORY);  // the new name on the disk
  return 1;
}

int file_replace(std::string_view source, std::string_view destination) {
  if (source.empty() || destination.empty()) return 0;
  if (!fsync_path(std::string(source), O_RDONLY)) return 0;
  return file_move_over(source, destination);
}

std::string file_error_text() {
  return errno == 0 ? std::string() : std::string(std::strerror(errno));
}

void file_error_clear() {
  errno = 0;
}

std::string file_open_error(std::string_view path) {
  const int fd = open(std::string(path).c_str(), O_RDONLY);
  if (fd < 0) return file_error_text();
  close(fd);
  return {};
}

bool directory_is_writable(std::string_view path) {
  const std::string probe = trim_trailing(path, "/") + "/.skalaro-probe-" + std::to_string(getpid());
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}
