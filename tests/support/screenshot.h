// Screenshots of the display the tests run on, taken with ImageMagick's
// "import -window root". Wine starts Unix programs given by a Unix path,
// but cannot wait for them: the picture is written under a temporary name
// and renamed when complete, and the test waits for the final name.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "support/child_process.h"

#ifndef SKALARO_SCREENSHOT_DIR
#error "SKALARO_SCREENSHOT_DIR must name the screenshot folder (a Unix path)"
#endif

// The Windows name of a Unix path (Wine maps the Unix root to drive Z:).
inline std::string windows_path_of_unix(const std::string& unix_path) {
  std::string path = "Z:" + unix_path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Saves the whole display as SKALARO_SCREENSHOT_DIR/<name>.png and returns
// its Unix path, or an empty string when no picture arrived in time.
inline std::string take_screenshot(const std::string& name) {
  const std::string dir = SKALARO_SCREENSHOT_DIR;
  const std::string final_path = dir + "/" + name + ".png";
  const std::string temporary = dir + "/" + name + ".part.png";
  const std::string final_windows = windows_path_of_unix(final_path);
  DeleteFileA(final_windows.c_str());
  std::string command = "/bin/sh -c \"mkdir -p '" + dir + "' && import -window root '" + temporary +
                        "' && mv '" + temporary + "' '" + final_path + "'\"";
  if (!start_process(command)) return {};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    if (GetFileAttributesA(final_windows.c_str()) != INVALID_FILE_ATTRIBUTES) return final_path;
    Sleep(50);
  }
  return {};
}
