// The main window's layout, title and texts.
#include "app/main_window_rules.h"

#include "app/app_state.h"
#include "app/tool_download.h"
#include "runtime/strings.h"

namespace {
constexpr int kListHeight = 200;  // the first row starts right below the list
constexpr int kRowHeight = 20;
constexpr int kQualityRowHeight = 32;
constexpr int kLabelWidth = 120;
constexpr int kFieldWidth = 50;
constexpr int kButtonHeight = 32;
}  // namespace

std::vector<GadgetPlace> main_window_layout(int w) {
  const int column = (w - 20) / 2;
  int y = kListHeight + 1;
  std::vector<GadgetPlace> places = {
      {GADGET_REPLACE_ORIGINALS, 5, y, column, kRowHeight},
      {GADGET_KEEP_EXIF, column + 15, y, column, kRowHeight},
  };
  y += kRowHeight;
  places.push_back({GADGET_WEB_NAMES, 5, y, column, kRowHeight});
  y += kRowHeight;
  places.push_back({GADGET_QUALITY, kLabelWidth, y, w - kLabelWidth, kQualityRowHeight});
  places.push_back({GADGET_QUALITY_LABEL, 5, y + 3, kLabelWidth - 5, kQualityRowHeight});
  y += kQualityRowHeight;
  places.push_back({GADGET_SIZE_LABEL, 5, y + 3, kLabelWidth - 5, kRowHeight});
  places.push_back({GADGET_SIZE_X, kLabelWidth + kFieldWidth + 1, y + 3, 10, kRowHeight});
  places.push_back({GADGET_WIDTH, kLabelWidth + 1, y, kFieldWidth, kRowHeight});
  places.push_back({GADGET_HEIGHT, kLabelWidth + 1 + kFieldWidth + 10, y, kFieldWidth, kRowHeight});
  y += kRowHeight + 5;
  places.push_back({GADGET_OPEN_FOLDER, 0, y, w - kButtonHeight, kButtonHeight});
  places.push_back({GADGET_INFO, w - kButtonHeight, y, kButtonHeight, kButtonHeight});
  return places;
}

GadgetPlace file_list_place(int w) {
  return {GADGET_FILE_LIST, 0, 0, w, kListHeight};
}

std::vector<GadgetPlace> job_gadget_places(int w) {
  return {{GADGET_BUSY_TEXT, 0, 5, w, 40},
          {GADGET_PROGRESS, 5, 55, w - 10, 25},
          {GADGET_STATUS_TEXT, 0, 85, w, 80}};
}

int name_column_width(int w) {
  return w - 74;
}

std::string main_window_title(std::string_view version_text, std::int64_t target_width,
                              std::int64_t target_height, std::int64_t jpeg_quality) {
  return "Skalaro v" + std::string(version_text) + "> " + int_to_string(target_width) + "x" +
         int_to_string(target_height) + " - Q=" + int_to_string(jpeg_quality);
}

std::string info_text() {
  return "Dieses Programm dient dem Verkleinern von Bildern.\r"
         "Es können JPEG und PNG Dateien verkleinert werden.\r"
         "\r"
         "Wenn die Originale verkleinert werden,\r"
         "erscheinen diese Bilder nicht in der Liste.\r"
         "\r"
         "Rechtsklick auf ein Bild in der Liste löscht es.\r"
         "Doppelklick zeigt das Bild an.\r"
         "\r"
         "Programmauthor: " +
         std::string(PROGRAM_AUTHOR) +
         "\r"
         "Programm erstellt mit Zorblex\r" +
         std::string(PROGRAM_WEB_ADDRESS) + "\r";
}

std::string download_failed_text(std::string_view url, std::string_view reason) {
  return "Datei konnte nicht heruntergeladen werden!\r" + std::string(url) + "\r    " +
         std::string(reason) + "\r\rSie können probieren, das Programm unter " +
         std::string(JHEAD_WEB_PAGE) +
         " selbst herunterzuladen und in das Verzeichnis des Skalaros kopieren.";
}

PictureSize preview_size(PictureSize picture, PictureSize area) {
  if (!box_is_usable(area) || !picture_exceeds_box(picture, area)) return picture;
  return scaled_size(picture, area, MODE_MAX);
}
