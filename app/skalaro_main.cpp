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
#include "runtime/wide_text.h"

namespace {

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

// The arguments as full paths, read wide and converted exactly. A name the
// ANSI code page cannot hold is refused (shown with "?" for what it
// lacks), never replaced by a look-alike or a short name: both can name
// another file. Read before start-up makes the program's directory the
// current one, which would change what a relative path names.
struct CommandLinePictures {
  std::vector<std::string> paths;
  std::vector<std::string> refused;
};

CommandLinePictures command_line_pictures() {
  CommandLinePictures pictures;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return pictures;
  for (int i = 1; i < count; ++i) {
    const wchar_t* argument = arguments[i];
    const std::wstring full = platform_path([argument](wchar_t* buffer, DWORD size) {
      return GetFullPathNameW(argument, size, buffer, nullptr);
    });
    std::string path;
    if (full.empty()) continue;
    if (ansi_from_wide(full, path))
      pictures.paths.push_back(std::move(path));
    else
      pictures.refused.push_back(ansi_for_display(full));
  }
  LocalFree(arguments);
  return pictures;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const CommandLinePictures pictures = command_line_pictures();
  windows_join_runtime();
  gadgets_join_runtime();
  drag_drop_join_runtime();
  fonts_join_runtime();
  common_controls_join_runtime();
  if (!app_start()) return 1;

  main_window_drop_at_start(pictures.paths, pictures.refused);
  main_window_run();
  // Both 0 when the main window was never opened.
  const int web_names = static_cast<int>(gadget_get_state(GADGET_WEB_NAMES));
  const int keep_exif = static_cast<int>(gadget_get_state(GADGET_KEEP_EXIF));
  app_shutdown(web_names, keep_exif, main_window_job_running());
  return 0;
}
