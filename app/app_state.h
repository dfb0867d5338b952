// The application's state: the settings the user can change, the state the
// main loop and the resize job share, and the numbers of the application's
// objects.
//
// Two threads meet here. The main thread writes the target size and the
// quality whenever a gadget changes them, and reads the rebuild flag at the
// top of every pass of its loop; the resize job reads the size and quality
// for every file and sets the rebuild flag when it ends. Those values are
// atomics. The strings are written by the main thread only while no job
// runs (at start-up, and the dropped paths just before a job is started);
// the job works on copies of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/registry.h"

// Windows, images, fonts and the expression, by kind.
constexpr object_number WINDOW_MAIN = 0;
constexpr object_number WINDOW_PREVIEW = 1004;
constexpr object_number IMAGE_WORK = 0;  // the preview's picture
constexpr object_number IMAGE_INFO_ICON = 1;
constexpr object_number IMAGE_INFO_ICON_DETAILED = 2;  // drawn at 48 x 48, for high DPIs
// The resize job's workers: worker k works on image IMAGE_JOB_FIRST + k.
constexpr object_number IMAGE_JOB_FIRST = 100;
constexpr object_number FONT_LARGE = 1;  // "Arial", 14 points
constexpr object_number FONT_SMALL = 2;  // "Arial", 12 points
constexpr object_number REGEX_WEB_NAME = 1001;

// Gadgets of the main window.
constexpr object_number GADGET_FILE_LIST = 1000;
constexpr object_number GADGET_PREVIEW_IMAGE = 1002;
constexpr object_number GADGET_PROGRESS = 1003;
constexpr object_number GADGET_OPEN_FOLDER = 1005;
constexpr object_number GADGET_REPLACE_ORIGINALS = 1006;
constexpr object_number GADGET_WEB_NAMES = 1007;
constexpr object_number GADGET_KEEP_EXIF = 1008;
constexpr object_number GADGET_INFO = 1010;
constexpr object_number GADGET_QUALITY = 1011;
constexpr object_number GADGET_WIDTH = 1012;
constexpr object_number GADGET_HEIGHT = 1013;
constexpr object_number GADGET_SIZE_LABEL = 1;
constexpr object_number GADGET_SIZE_X = 2;
constexpr object_number GADGET_BUSY_TEXT = 10;
constexpr object_number GADGET_STATUS_TEXT = 11;
constexpr object_number GADGET_QUALITY_LABEL = 111;

// How a picture that exceeds the box is sized; any other text behaves as
// "noaspect". Compared exactly, so "MAX" is not "max".
constexpr std::string_view MODE_MAX = "max";
constexpr std::string_view MODE_MIN = "min";
constexpr std::string_view MODE_NOASPECT = "noaspect";

// The persisted settings, with their defaults.
struct ResizeSettings {
  std::atomic<std::int64_t> target_width{1024};
  std::atomic<std::int64_t> target_height{768};
  std::string mode{MODE_MAX};  // only the preference file changes it
  std::atomic<std::int64_t> jpeg_quality{8};
  int web_names = 0;  // presets of the two check boxes
  int keep_exif = 1;
};

struct AppState {
  std::string version_text;
  std::string output_dir_name;
  std::string output_directory;  // with its trailing backslash
  std::string settings_path;
  std::string dropped_files;  // the paths of the last drop, joined by "\n"
  std::atomic<int> list_rebuild_pending{0};
  std::atomic<int> quit_requested{0};
  // 1: the window has been closed; the job stops after its picture in progress.
  std::atomic<int> job_stop_requested{0};
};

// The one application state and the one set of settings of the process.
AppState& app_state();
ResizeSettings& resize_settings();

// Back to the state before start-up: empty texts, flags clear, settings at
// their defaults.
void app_state_reset();

constexpr std::string_view APP_VERSION_TEXT = "4.0";
constexpr std::string_view OUTPUT_DIR_NAME = "ResizedImages";

// The program's directory + "ResizedImages\".
std::string output_directory_for(std::string_view program_file);

// Where the settings and the copies live. A program in a folder it can
// write to (a portable copy, a USB stick) keeps both beside itself. One in a
// protected folder (as under "C:\Program Files") keeps them where Windows
// programs do: the settings in the user's application data (`app_data` +
// "Skalaro\" + the settings file's name), the copies in the user's
// pictures (`pictures` + "ResizedImages\"); a folder that is not known
// (empty) is replaced by the one beside the program.
struct AppLocations {
  std::string settings_path;
  std::string output_directory;  // with its trailing backslash
};
AppLocations app_locations(std::string_view program_file, bool program_folder_writable,
                           std::string_view app_data, std::string_view pictures);
// The program's directory + its file name without the last four characters
// + ".ini" (Skalaro.exe keeps its settings in Skalaro.ini beside it).
std::string settings_path_for(std::string_view program_file);
