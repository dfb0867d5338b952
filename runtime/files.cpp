// Path rules of the file operations.
#include "runtime/files.h"

#include <atomic>

#include "runtime/files_testing.h"
#include "runtime/strings.h"

namespace {
std::atomic<int> long_paths_for_testing{-1};
}  // namespace

void long_paths_allowed_for_testing(int allowed) {
  long_paths_for_testing = allowed;
}

std::size_t path_length_limit() {
  const int forced = long_paths_for_testing;
  const bool allowed = forced >= 0 ? forced == 1 : long_paths_allowed();
  return allowed ? LONG_PATH_LENGTH : PATH_BUFFER_LENGTH;
}

bool path_fits_platform(std::string_view path) {
  return ansi_wide_length(path) < path_length_limit();
}

std::string drive_root_of(std::string_view path) {
  if ((path.size() == 2 || path.size() == 3) && path[1] == ':') {
    std::string root(path);
    if (root.size() == 2) root.push_back('\\');
    return root;
  }
  return {};
}

std::string trim_trailing(std::string_view path, std::string_view set) {
  std::size_t end = path.size();
  while (end > 1 && set.find(path[end - 1]) != std::string_view::npos) --end;
  return std::string(path.substr(0, end));
}

std::string file_error_text_or(std::string otherwise) {
  std::string words = file_error_text();
  return words.empty() ? otherwise : words;
}

std::string folder_path(std::string_view folder) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path.push_back('\\');
  return path;
}
