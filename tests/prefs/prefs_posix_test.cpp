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

}  // namespace
