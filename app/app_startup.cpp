// Start-up and shutdown of the application.
#include "app/app_startup.h"

#include <windows.h>

#include "app/app_state.h"
#include "app/info_icon.h"
#include "app/settings.h"
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

namespace {
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

  AppState& state = app_state();
  state.version_text = APP_VERSION_TEXT;
  state.output_dir_name = OUTPUT_DIR_NAME;
  const std::string program = program_filename();
  state.output_directory = output_directory_for(program);
  directory_set_current(path_part(program));
  state.settings_path = settings_path_for(program);
  settings_read(state.settings_path, resize_settings());
  return true;
}

void app_shutdown(int web_names_state, int keep_exif_state, bool job_running) {
  settings_write(app_state().settings_path, resize_settings(), web_names_state, keep_exif_state);
  // The job's heaps, images and gadgets would go away beneath it. Ending the
  // process is safe at any moment of a job: a source is replaced only by a
  // whole new picture, in one step.
  if (job_running) TerminateProcess(GetCurrentProcess(), 0);
  runtime_stop();
}
