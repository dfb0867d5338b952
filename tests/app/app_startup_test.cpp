// Start-up and shutdown around the main window: the runtime, the info icon
// decoded from the program's own bytes, the directories, and the settings
// read at start and written at exit.
#include "app/app_startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "image/image.h"
#include "runtime/files.h"
#include "runtime/lifecycle.h"
#include "runtime/programs.h"
#include "runtime/strings.h"
#include "app_pictures.h"

namespace {

std::vector<int> pixel_at(const PixelStoreInfo& info, int x, int y) {
  const std::uint8_t* p = info.bits + (info.height - 1 - y) * info.pitch + x * 4;
  return {p[0], p[1], p[2], p[3]};  // blue, green, red, alpha
}

TEST(AppStartup, brings_everything_up_and_writes_the_settings_at_exit) {
  const std::string program = program_filename();
  const std::string settings = path_part(program) + "app_win_tests.ini";
  std::ofstream(settings, std::ios::binary) << "NewImageWidth = 640\r\nresizing = min\r\n";
  const std::string saved_directory = directory_current();

  ASSERT_TRUE(app_start());
  AppState& state = app_state();
  EXPECT_EQ(state.version_text, "4.0");
  EXPECT_EQ(state.output_dir_name, "ResizedImages");
  EXPECT_EQ(state.output_directory, path_part(program) + "ResizedImages\\");
  EXPECT_EQ(state.settings_path, settings);
  EXPECT_EQ(directory_current(), path_part(program));
  EXPECT_EQ(resize_settings().target_width, 640);
  EXPECT_EQ(resize_settings().target_height, 768);
  EXPECT_EQ(resize_settings().mode, "min");

  // The info icon: 24 x 24 with alpha, transparent corners, a blue disc, a white letter.
  ASSERT_EQ(image_width(IMAGE_INFO_ICON), 24);
  ASSERT_EQ(image_height(IMAGE_INFO_ICON), 24);
  PixelStoreInfo icon{};
  ASSERT_TRUE(pixel_store_info(image_handle(IMAGE_INFO_ICON), &icon));
  ASSERT_EQ(icon.depth, 32);
  EXPECT_EQ(pixel_at(icon, 0, 0)[3], 0);
  const auto disc = pixel_at(icon, 6, 12);
  EXPECT_EQ(disc[3], 255);
  EXPECT_GT(disc[0], disc[2] + 100);  // far more blue than red
  EXPECT_EQ(pixel_at(icon, 12, 14), (std::vector<int>{255, 255, 255, 255}));  // the stem
  EXPECT_EQ(pixel_at(icon, 12, 7), (std::vector<int>{255, 255, 255, 255}));   // the dot

  app_shutdown(1, 0);
  EXPECT_FALSE(runtime_is_running());
  const auto written = read_bytes(settings);
  const std::string text(written.begin(), written.end());
  const std::string keys =
      "NewImageWidth = 640\r\nNewImageHeight = 768\r\nJPEG_Qualitiy = 8\r\n"
      "OptWebNames = 1\r\nJHEAD_KeepEXIF = 0\r\nresizing = min\r\n; Beschreibung: resizing\r\n";
  EXPECT_EQ(text.substr(0, keys.size()), keys);
  std::filesystem::remove(settings);
  directory_set_current(saved_directory);
}

}  // namespace
