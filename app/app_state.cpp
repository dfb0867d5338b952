// The application's state and the rules for its two paths.
#include "app/app_state.h"

#include "runtime/files.h"
#include "runtime/strings.h"

namespace {
AppState the_state;
ResizeSettings the_settings;
}  // namespace

AppState& app_state() {
  return the_state;
}

ResizeSettings& resize_settings() {
  return the_settings;
}

void app_state_reset() {
  the_state.version_text.clear();
  the_state.output_dir_name.clear();
  the_state.output_directory.clear();
  the_state.settings_path.clear();
  the_state.dropped_files.clear();
  the_state.list_rebuild_pending = 0;
  the_state.quit_requested = 0;
  the_state.job_stop_requested = 0;

  const ResizeSettings defaults;
  the_settings.target_width = defaults.target_width.load();
  the_settings.target_height = defaults.target_height.load();
  the_settings.mode = defaults.mode;
  the_settings.jpeg_quality = defaults.jpeg_quality.load();
  the_settings.web_names = defaults.web_names;
  the_settings.keep_exif = defaults.keep_exif;
}

std::string output_directory_for(std::string_view program_file) {
  return path_part(program_file) + std::string(OUTPUT_DIR_NAME) + "\\";
}

std::string settings_path_for(std::string_view program_file) {
  const std::string name = file_part(program_file);
  return path_part(program_file) + string_left(name, string_length(name) - 4) + ".ini";
}

AppLocations app_locations(std::string_view program_file, bool program_folder_writable,
                           std::string_view app_data, std::string_view pictures) {
  AppLocations beside{settings_path_for(program_file), output_directory_for(program_file)};
  if (program_folder_writable) return beside;
  if (!app_data.empty())
    beside.settings_path =
        folder_path(app_data) + "Skalaro\\" + file_part(beside.settings_path);
  if (!pictures.empty())
    beside.output_directory = folder_path(pictures) + std::string(OUTPUT_DIR_NAME) + "\\";
  return beside;
}
