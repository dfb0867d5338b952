// The main window's portable rules: where every gadget sits for the window's
// inner width, the title, and the texts of the jhead check. The window binds
// these to its gadgets and requesters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/registry.h"

struct GadgetPlace {
  object_number gadget;
  int x, y, width, height;
  bool operator==(const GadgetPlace&) const = default;
};

// The main window's inner size.
constexpr int MAIN_WINDOW_WIDTH = 350;
constexpr int MAIN_WINDOW_HEIGHT = 330;

// The gadgets below the file list, computed from the inner width W (the
// rows start below the list's height of 200), in the order they are created:
// 1006, 1008, 1007, 1011, 111, 1, 2, 1012, 1013, 1005, 1010.
std::vector<GadgetPlace> main_window_layout(int inner_width);
// The file list, and the busy text, progress bar and status text that take
// its place while a job runs.
GadgetPlace file_list_place(int inner_width);
std::vector<GadgetPlace> job_gadget_places(int inner_width);
// The file list's two columns: the name column W - 74 wide, the size column 50.
int name_column_width(int inner_width);
constexpr int SIZE_COLUMN_WIDTH = 50;

// "Skalaro v4.0> 1024x768 - Q=8" with the defaults.
std::string main_window_title(std::string_view version_text, std::int64_t target_width,
                              std::int64_t target_height, std::int64_t jpeg_quality);

// The jhead check at opening (Latin-1 texts).
constexpr std::string_view JHEAD_MISSING_TITLE = "Hinweis";
constexpr std::string_view JHEAD_MISSING_TEXT =
    "jhead.exe, welche f\xfcr EXIF Operationen ben\xf6tigt wird, wurde nicht gefunden. Soll es "
    "heruntergeladen werden?";
constexpr std::string_view DOWNLOAD_FAILED_TITLE = "Fehler";
// Sends the user to the tool's web page.
std::string download_failed_text();
