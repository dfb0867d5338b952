// Skalaro.exe: the process entry. Brings the runtime up with the windowing
// toolkit, runs the main window, writes the settings and tears the runtime
// down again. Pictures given on the command line (files dropped onto the
// program's icon, Explorer's "Send to") are handled as a drop on the list.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/app_startup.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "gui/core/fonts.h"
#include "gui/core/window.h"
#include "gui/dnd/drag_drop.h"
#include "gui/gadgets/common_controls.h"
#include "gui/gadgets/gadgets.h"

namespace {

// A wide text in the ANSI code page that the runtime's strings use; empty
// when the code page cannot hold every character of it.
std::string ansi_text(const std::wstring& text) {
  if (text.empty()) return {};
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0,
                                       nullptr, &lossy);
  if (size <= 1 || lossy) return {};
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, ansi.data(), size, nullptr,
                      &lossy);
  ansi.resize(static_cast<std::size_t>(size - 1));
  return lossy ? std::string() : ansi;
}

// Calls a path function of the platform with a growing buffer.
template <typename PathFunction>
std::wstring platform_path(PathFunction function) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = function(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

// The full path of a command-line argument as the runtime's strings hold
// it; a name that the code page cannot hold goes by its short name.
std::string picture_path(const wchar_t* argument) {
  const std::wstring full = platform_path([argument](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(argument, size, buffer, nullptr);
  });
  const std::string ansi = ansi_text(full);
  if (!ansi.empty() || full.empty()) return ansi;
  return ansi_text(platform_path([&full](wchar_t* buffer, DWORD size) {
    return GetShortPathNameW(full.c_str(), buffer, size);
  }));
}

// The arguments as full paths joined by "\n". Read before start-up makes
// the program's directory the current one, which would change what a
// relative path names.
std::string command_line_pictures() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return {};
  std::string paths;
  for (int i = 1; i < count; ++i) {
    const std::string path = picture_path(arguments[i]);
    if (!path.empty()) paths += (paths.empty() ? "" : "\n") + path;
  }
  LocalFree(arguments);
  return paths;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string pictures = command_line_pictures();
  windows_join_runtime();
  gadgets_join_runtime();
  drag_drop_join_runtime();
  fonts_join_runtime();
  common_controls_join_runtime();
  if (!app_start()) return 1;

  if (!pictures.empty()) main_window_drop_at_start(pictures);
  main_window_run();
  // Both 0 when the main window was never opened.
  const int web_names = static_cast<int>(gadget_get_state(GADGET_WEB_NAMES));
  const int keep_exif = static_cast<int>(gadget_get_state(GADGET_KEEP_EXIF));
  app_shutdown(web_names, keep_exif, main_window_job_running());
  return 0;
}
