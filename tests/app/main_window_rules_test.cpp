// The main window's layout for its inner width of 350, its title and the
// texts of the jhead check, as the window will show them.
#include "app/main_window_rules.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "runtime/utf8.h"

namespace {

TEST(MainWindowRules, layout_of_the_350_pixel_window) {
  const std::vector<GadgetPlace> expected = {
      {1006, 5, 201, 165, 20},   {1008, 180, 201, 165, 20}, {1007, 5, 221, 165, 20},
      {1011, 120, 241, 230, 32}, {111, 5, 244, 115, 32},    {1, 5, 276, 115, 20},
      {2, 171, 276, 10, 20},     {1012, 121, 273, 50, 20},  {1013, 181, 273, 50, 20},
      {1005, 0, 298, 318, 32},   {1010, 318, 298, 32, 32},
  };
  EXPECT_EQ(main_window_layout(MAIN_WINDOW_WIDTH), expected);
  EXPECT_EQ(file_list_place(350), (GadgetPlace{1000, 0, 0, 350, 200}));
  EXPECT_EQ(job_gadget_places(350),
            (std::vector<GadgetPlace>{
                {10, 0, 5, 350, 40}, {1003, 5, 55, 340, 25}, {11, 0, 85, 350, 80}}));
  EXPECT_EQ(name_column_width(350), 276);
}

TEST(MainWindowRules, title_and_jhead_texts) {
  EXPECT_EQ(main_window_title(APP_VERSION_TEXT, 1024, 768, 8), "Skalaro v4.0> 1024x768 - Q=8");
  EXPECT_EQ(main_window_title("4.0", 800, 0, 8), "Skalaro v4.0> 800x0 - Q=8");
  EXPECT_EQ(JHEAD_MISSING_TEXT,
            text_from_utf8("jhead.exe, welche für EXIF Operationen benötigt wird, wurde nicht "
                           "gefunden. Soll es heruntergeladen werden?"));
  EXPECT_EQ(download_failed_text(),
            text_from_utf8("Datei konnte nicht heruntergeladen werden! Sie können probieren, das "
                           "Programm unter https://www.sentex.ca/~mwandel/jhead/ selbst "
                           "herunterzuladen und in das Verzeichnis des Skalaros kopieren."));
}

}  // namespace
