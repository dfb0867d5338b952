// Writing the preference file back when the disk takes no more: the
// process's file size limit makes a write fail part of the way, as a full
// disk does.
#include "prefs/prefs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "prefs_fixture.h"
#include "support/file_size_limit.h"

namespace {

TEST_F(PrefsTest, write_that_fails_part_of_the_way_leaves_the_old_file_as_it_was) {
  const std::string old_text = "Width = 640\r\n; " + std::string(3000, '-') + "\r\n";
  std::string path = write_file("full.ini", old_text);
  ASSERT_NE(prefs_open(path), 0u);
  prefs_write_string("Note", std::string(6000, 'x'));
  {
    FileSizeLimit disk_full(4096);
    prefs_close();
  }
  EXPECT_TRUE(read_file(path) == old_text) << "the file was torn";
  auto names = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(names, std::filesystem::directory_iterator()), 1);
}

TEST_F(PrefsTest, created_file_keeps_the_old_settings_when_the_disk_is_full) {
  const std::string old_text = "NewImageWidth = 640\r\n; " + std::string(3000, '-') + "\r\n";
  std::string path = write_file("app.ini", old_text);
  ASSERT_NE(prefs_create(path), 0u);
  EXPECT_EQ(read_file(path), old_text);  // nothing is cut before the close
  prefs_write_int("NewImageWidth", 800);
  prefs_write_comment(std::string(6000, 'c'));
  {
    FileSizeLimit disk_full(4096);
    prefs_close();
  }
  EXPECT_TRUE(read_file(path) == old_text) << "the settings file was cut or torn";
}

TEST_F(PrefsTest, settings_are_written_through_the_file_where_none_can_be_made_beside_it) {
  // The name fits, but a temporary name two characters longer exceeds the
  // file system's limit: the replacement cannot be made.
  std::string path =
      write_file(std::string(250, 'n') + ".ini", "Width = 640\r\n; long old comment\r\n");
  ASSERT_NE(prefs_open(path), 0u);
  prefs_write_int("Width", 800);
  prefs_close();
  EXPECT_EQ(read_file(path), "Width = 800\r\n; long old comment\r\n");
  ASSERT_NE(prefs_open(path), 0u);
  prefs_write_string("Note", std::string(100, 'x'));
  prefs_close();
  EXPECT_EQ(read_file(path),
            "Width = 800\r\n; long old comment\r\nNote = " + std::string(100, 'x') + "\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
