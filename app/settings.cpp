// Reading and writing the settings through the preference file.
#include "app/settings.h"

#include <algorithm>

#include "prefs/prefs.h"

namespace {

constexpr std::string_view KEY_WIDTH = "NewImageWidth";
constexpr std::string_view KEY_HEIGHT = "NewImageHeight";
constexpr std::string_view KEY_MODE = "resizing";
constexpr std::string_view KEY_QUALITY = "JPEG_Qualitiy";
constexpr std::string_view KEY_WEB_NAMES = "OptWebNames";
constexpr std::string_view KEY_KEEP_EXIF = "JHEAD_KeepEXIF";

// The texts are Latin-1, as the file is: "\xf6" is o-umlaut, "\xdf" sharp s.
// A literal is split after each escape so that the next letter is not read
// as one more hex digit.
constexpr std::string_view COMMENT_BLOCK[] = {
    "Beschreibung: resizing",
    "####################",
    "",
    "max      -> Bild wird nicht gr\xf6\xdf"
    "er als die angegeben Ma\xdf"
    "e",
    "            Seitenverh\xe4"
    "ltnis wird beibehalten",
    "            ist die Standardeinstellung",
    "",
    "            z.B.: soll gr\xf6\xdf"
    "e 400x300",
    "                  Bild mit 1000x500 wird zu 400x200",
    "",
    "min      -> Bild wird so gro\xdf, dass die angegebenen Ma\xdf"
    "e darin Platz finden",
    "            Seitenverh\xe4"
    "ltnis wird beibehalten",
    "",
    "            z.B.: soll gr\xf6\xdf"
    "e 400x300",
    "                  Bild mit 1000x500 wird zu 600x300",
    "",
    "noaspect -> Bild wird so gro\xdf wie die angegebenen Ma\xdf"
    "e",
    "            Setenverh\xe4"
    "ltnis wird NICHT beibehalten -> Bilder  werden verzerrt",
    "",
    "            z.B.: soll gr\xf6\xdf"
    "e 400x300",
    "                  Bild mit 1000x500 wird zu 400x300",
};
static_assert(std::size(COMMENT_BLOCK) == 21);

}  // namespace

void settings_read(std::string_view path, ResizeSettings& settings) {
  prefs_open(path);
  settings.target_width = prefs_read_int(KEY_WIDTH, settings.target_width);
  settings.target_height = prefs_read_int(KEY_HEIGHT, settings.target_height);
  settings.mode = prefs_read_string(KEY_MODE, settings.mode);
  // The slider, the title and the encoder all take 0..10; a value beyond in
  // an edited file is held to that range, so that the three agree.
  settings.jpeg_quality = std::clamp<std::int64_t>(prefs_read_int(KEY_QUALITY, settings.jpeg_quality),
                                                   0, 10);
  settings.web_names = static_cast<int>(prefs_read_int(KEY_WEB_NAMES, settings.web_names));
  settings.keep_exif = static_cast<int>(prefs_read_int(KEY_KEEP_EXIF, settings.keep_exif));
  prefs_close();
}

bool settings_write(std::string_view path, const ResizeSettings& settings, int web_names_state,
                    int keep_exif_state) {
  if (!prefs_create(path)) return false;
  prefs_write_int(KEY_WIDTH, settings.target_width);
  prefs_write_int(KEY_HEIGHT, settings.target_height);
  prefs_write_int(KEY_QUALITY, settings.jpeg_quality);
  prefs_write_int(KEY_WEB_NAMES, web_names_state == 1 ? 1 : 0);
  prefs_write_int(KEY_KEEP_EXIF, keep_exif_state == 1 ? 1 : 0);
  prefs_write_string(KEY_MODE, settings.mode);
  for (std::string_view line : COMMENT_BLOCK) prefs_write_comment(line);
  return prefs_close();
}
