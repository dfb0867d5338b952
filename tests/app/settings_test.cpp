// The settings file: defaults, the keys as spelled in the field, and the
// bytes written at exit.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "prefs/prefs.h"
#include "runtime/file_io.h"
#include "runtime/utf8.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

class SettingsTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { prefs_join_runtime(); }
  void SetUp() override {
    RuntimeTest::SetUp();
    app_state_reset();
  }
  ScratchDir dir;
  std::string path = dir.file("Skalaro.ini");

  static std::string read_file(const std::string& name) {
    std::vector<std::uint8_t> bytes;
    file_read_whole(name.c_str(), bytes);
    return std::string(bytes.begin(), bytes.end());
  }
  // The comment block as the file carries it, written here in UTF-8 and
  // turned into the file's Latin-1.
  static std::string comment_block() {
    const char* lines[] = {
        "Beschreibung: resizing",
        "####################",
        "",
        "max      -> Bild wird nicht größer als die angegeben Maße",
        "            Seitenverhältnis wird beibehalten",
        "            ist die Standardeinstellung",
        "",
        "            z.B.: soll größe 400x300",
        "                  Bild mit 1000x500 wird zu 400x200",
        "",
        "min      -> Bild wird so groß, dass die angegebenen Maße darin Platz finden",
        "            Seitenverhältnis wird beibehalten",
        "",
        "            z.B.: soll größe 400x300",
        "                  Bild mit 1000x500 wird zu 600x300",
        "",
        "noaspect -> Bild wird so groß wie die angegebenen Maße",
        "            Setenverhältnis wird NICHT beibehalten -> Bilder  werden verzerrt",
        "",
        "            z.B.: soll größe 400x300",
        "                  Bild mit 1000x500 wird zu 400x300",
    };
    std::string block;
    for (const char* line : lines) block += "; " + text_from_utf8(line) + "\r\n";
    return block;
  }
  // The six settings in one line: size, mode, quality, web names, EXIF.
  static std::string summary(const ResizeSettings& s) {
    return std::to_string(s.target_width) + "x" + std::to_string(s.target_height) + " " + s.mode +
           " q" + std::to_string(s.jpeg_quality) + " web" + std::to_string(s.web_names) + " exif" +
           std::to_string(s.keep_exif);
  }
};

TEST_F(SettingsTest, first_start_reads_the_defaults_and_writes_them_with_the_comment_block) {
  ResizeSettings& settings = resize_settings();
  settings_read(path, settings);
  EXPECT_EQ(summary(settings), "1024x768 max q8 web0 exif1");
  EXPECT_FALSE(file_exists(path.c_str()));  // reading creates nothing

  ASSERT_TRUE(settings_write(path, settings, 0, 1));
  EXPECT_EQ(read_file(path),
            "NewImageWidth = 1024\r\nNewImageHeight = 768\r\nJPEG_Qualitiy = 8\r\n"
            "OptWebNames = 0\r\nJHEAD_KeepEXIF = 1\r\nresizing = max\r\n" +
                comment_block());
}

TEST_F(SettingsTest, values_are_read_and_the_mode_goes_back_as_it_was_read) {
  std::ofstream(path, std::ios::binary)
      << "; old comment\r\nnewimagewidth = 800\r\nNewImageHeight=600\r\nresizing = MAX  \r\n"
         "JPEG_Qualitiy = 5\r\nOptWebNames = 1\r\nJHEAD_KeepEXIF = 0\r\nOther = kept?\r\n";
  ResizeSettings& settings = resize_settings();
  settings_read(path, settings);
  EXPECT_EQ(summary(settings), "800x600 MAX q5 web1 exif0");

  settings.target_width = 0;  // an emptied field
  // The check boxes' states decide the presets; only a state of exactly 1 counts.
  ASSERT_TRUE(settings_write(path, settings, 1, 2));
  EXPECT_EQ(read_file(path),
            "NewImageWidth = 0\r\nNewImageHeight = 600\r\nJPEG_Qualitiy = 5\r\n"
            "OptWebNames = 1\r\nJHEAD_KeepEXIF = 0\r\nresizing = MAX\r\n" +
                comment_block());
  for (const auto& [written, read] : {std::pair{"15", 10}, {"-2", 0}}) {  // title, slider, output agree
    std::ofstream(path, std::ios::binary) << "JPEG_Qualitiy = " << written << "\r\n";
    settings_read(path, settings);
    EXPECT_EQ(settings.jpeg_quality, read);
  }
}

TEST_F(SettingsTest, a_file_that_cannot_be_created_is_not_written) {
  EXPECT_FALSE(settings_write(dir.file("missing-folder/Skalaro.ini"), resize_settings(), 0, 0));
}

TEST(SettingsPaths, beside_a_program_that_may_write_there_else_in_the_users_folders) {
  const char* program = "C:\\Tools\\Skalaro.exe";
  const AppLocations portable = app_locations(program, true, "C:\\AppData", "C:\\Bilder");
  EXPECT_EQ(portable.settings_path, "C:\\Tools\\Skalaro.ini");
  EXPECT_EQ(portable.output_directory, "C:\\Tools\\ResizedImages\\");
  const AppLocations installed = app_locations(program, false, "C:\\AppData", "C:\\Bilder\\");
  EXPECT_EQ(installed.settings_path, "C:\\AppData\\Skalaro\\Skalaro.ini");
  EXPECT_EQ(installed.output_directory, "C:\\Bilder\\ResizedImages\\");
  EXPECT_EQ(app_locations(program, false, "", "").output_directory, portable.output_directory);
}

}  // namespace
