// The main window's portable rules: where every gadget sits for the window's
// inner width, the title, and the texts of the jhead check. The window binds
// these to its gadgets and requesters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/resize_rules.h"
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

// The gadgets' texts and tips, in UTF-8 (shown through ansi_from_utf8;
// "\r" starts a new line).
constexpr std::string_view REPLACE_ORIGINALS_TEXT = "Originale verkleinern";
constexpr std::string_view REPLACE_ORIGINALS_TIP =
    "wenn gesetzt, wird die Quelldatei ersetzt. Ansonsten wird das neue Bild als Kopie in einem "
    "anderen Verzeichnis gespeichert.";
constexpr std::string_view KEEP_EXIF_TEXT = "EXIF Information erhalten";
constexpr std::string_view KEEP_EXIF_TIP =
    "wenn gesetzt, werden die Exif Informationen aus dem Originalbild mitkopiert.";
constexpr std::string_view WEB_NAMES_TEXT = "Web-Dateinamen verwenden";
constexpr std::string_view WEB_NAMES_TIP =
    "wenn gesetzt, werden alle Zeichen außer A bis Z und 0 bis 9 durch Unterstriche ersetzt.";
constexpr std::string_view QUALITY_LABEL_TEXT = "Bild-Qualität:";
constexpr std::string_view SIZE_LABEL_TEXT = "neue Bildbreite in Pixel:";
constexpr std::string_view SIZE_X_TEXT = "X";
constexpr std::string_view OPEN_FOLDER_TEXT =
    "Bilderverzeichnis im Explorer öffnen";
constexpr std::string_view BUSY_TEXT = "Bitte warten...\rBilder werden verkleinert...";
// The file list shows the pictures of the output directory.
constexpr std::string_view FILE_LIST_PATTERNS = "*.jpg;*.jpeg;*.png";

// The inner size of a preview: the picture's own when it fits `area` (the
// largest inner size the screen's work area leaves the window), else scaled
// down with its aspect kept until it fits.
PictureSize preview_size(PictureSize picture, PictureSize area);

constexpr std::string_view PREVIEW_TITLE =
    "Bildvorschau - zum Schließen aufs Bild klicken...";
constexpr std::string_view INFO_TITLE = "Info";
// Who made the program, and its address: the project has no web site of its
// own yet, so the address lies in the domain reserved for examples, which
// leads nowhere rather than to somebody else's site.
constexpr std::string_view PROGRAM_AUTHOR = "das Skalaro-Team";
constexpr std::string_view PROGRAM_WEB_ADDRESS = "https://skalaro.example/";
// The twelve lines of the info button's requester.
std::string info_text();

// The jhead check at opening (UTF-8 texts).
constexpr std::string_view JHEAD_MISSING_TITLE = "Hinweis";
constexpr std::string_view JHEAD_MISSING_TEXT =
    "jhead.exe, welche für EXIF Operationen benötigt wird, wurde nicht gefunden. Soll es "
    "heruntergeladen werden?";
constexpr std::string_view DOWNLOAD_FAILED_TITLE = "Fehler";
// Says why the download from `url` failed and sends the user to the tool's
// web page.
std::string download_failed_text(std::string_view url, std::string_view reason);
