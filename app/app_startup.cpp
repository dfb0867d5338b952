// Start-up and shutdown of the application.
#include "app/app_startup.h"

#include <windows.h>
#include <shlobj.h>

#include "app/app_state.h"
#include "app/info_icon.h"
#include "app/job_messages.h"
#include "app/settings.h"
#include "gui/core/requester.h"
#include "image/codecs/codec_plugins.h"
#include "image/image.h"
#include "net/sockets.h"
#include "prefs/prefs.h"
#include "regex/regex.h"
#include "runtime/files.h"
#include "runtime/lifecycle.h"
#include "runtime/programs.h"
#include "runtime/strings.h"
#include "runtime/threads.h"
#include "runtime/wide_text.h"

namespace {

// Where the program lies, when the ANSI code page cannot hold that path (an
// older Windows, which ignores the program's UTF-8 code page): it could
// neither find its settings nor its folder for the copies, and says so.
void report_unnamed_folder() {
  wchar_t wide[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, wide, MAX_PATH);
  const std::string text =
      ansi_from_utf8("Skalaro kann nicht aus diesem Ordner gestartet werden: dieses Windows kann "
                     "Zeichen seines Namens nicht an Programme übergeben (erst Windows 10 ab "
                     "Version 1903 kann das). Bitte Skalaro in einen anderen Ordner kopieren.\r\r") +
      ansi_for_display(wide);
  requester_message(ansi_from_utf8("Fehler").c_str(), text.c_str(), REQUESTER_OK);
}

// A folder of the user's, such as the application data; empty when the
// platform does not know it or the code page cannot hold its name.
std::string special_folder(int folder) {
  wchar_t wide[MAX_PATH] = {};
  std::string path;
  if (FAILED(SHGetFolderPathW(nullptr, folder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              wide)) ||
      !ansi_from_wide(wide, path))
    return {};
  return path;
}

void join_application_kinds() {
  image_join_runtime();
  prefs_join_runtime();
  programs_join_runtime();
  regex_join_runtime();
  threads_join_runtime();
  net_join_runtime();
  codecs_join_runtime();
}
}  // namespace

bool app_start() {
  app_state_reset();
  join_application_kinds();
  if (!runtime_start()) return false;

  // The picture's true size is passed: the decoders must not read past it.
  const auto icon = info_icon_png();
  image_catch(IMAGE_INFO_ICON, icon.data(), static_cast<std::uint32_t>(icon.size()));
  const auto detailed = info_icon_detailed_png();
  image_catch(IMAGE_INFO_ICON_DETAILED, detailed.data(),
              static_cast<std::uint32_t>(detailed.size()));

  const std::string program = program_filename();
  if (program.empty()) {
    report_unnamed_folder();
    runtime_stop();
    return false;
  }
  AppState& state = app_state();
  state.version_text = APP_VERSION_TEXT;
  state.output_dir_name = OUTPUT_DIR_NAME;
  const bool writable = directory_is_writable(path_part(program));
  const AppLocations locations =
      app_locations(program, writable, special_folder(CSIDL_APPDATA),
                    special_folder(CSIDL_MYPICTURES));
  state.output_directory = locations.output_directory;
  state.settings_path = locations.settings_path;
  if (!writable) directory_create(path_part(state.settings_path));
  directory_set_current(path_part(program));
  // Until settings of its own are written there, those beside the program
  // (from before its folder was protected) are the ones to start with.
  const bool own_settings = file_size(state.settings_path) >= 0;
  settings_read(own_settings ? state.settings_path : settings_path_for(program), resize_settings());
  return true;
}

void app_shutdown(int web_names_state, int keep_exif_state, bool job_running) {
  const std::string& path = app_state().settings_path;
  if (!settings_write(path, resize_settings(), web_names_state, keep_exif_state)) {
    const JobMessage message = file_failure_message(SETTINGS_FAILED_TITLE, {path, file_error_text()});
    requester_message(message.title.c_str(), message.text.c_str(), REQUESTER_OK);
  }
  // The job's heaps, images and gadgets would go away beneath it. Ending the
  // process is safe at any moment of a job: a source is replaced only by a
  // whole new picture, in one step.
  if (job_running) TerminateProcess(GetCurrentProcess(), 0);
  runtime_stop();
}
