// Replacing a file in one step: the new file takes the name, the old one is
// gone, and a replace that cannot happen changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "runtime/file_io.h"
#include "runtime/files.h"
#include "support/scratch_dir.h"

namespace {

std::string contents_of(const std::string& name) {
  std::vector<std::uint8_t> bytes;
  if (!file_read_whole(name.c_str(), bytes)) return "(none)";
  return std::string(bytes.begin(), bytes.end());
}

TEST(FileReplace, the_new_file_takes_the_name_of_the_old_one) {
  ScratchDir dir;
  const std::string old_file = dir.file("a.png"), new_file = dir.file("a.png.tmp");
  std::ofstream(old_file, std::ios::binary) << "old";
  std::ofstream(new_file, std::ios::binary) << "new picture";
  ASSERT_NE(file_replace(new_file, old_file), 0);
  EXPECT_EQ(contents_of(old_file), "new picture");
  EXPECT_FALSE(file_exists(new_file.c_str()));
  // Onto a name that does not exist yet it is a plain move.
  std::ofstream(new_file, std::ios::binary) << "second";
  ASSERT_NE(file_replace(new_file, dir.file("b.png")), 0);
  EXPECT_EQ(contents_of(dir.file("b.png")), "second");
}

TEST(FileReplace, a_replace_that_cannot_happen_leaves_both_files) {
  ScratchDir dir;
  const std::string old_file = dir.file("a.png"), folder = dir.file("folder");
  std::ofstream(old_file, std::ios::binary) << "old";
  std::filesystem::create_directory(folder);
  EXPECT_EQ(file_replace(dir.file("missing.tmp"), old_file), 0);
  EXPECT_EQ(contents_of(old_file), "old");
  EXPECT_EQ(file_replace(old_file, folder), 0);  // a folder is never replaced
  EXPECT_EQ(contents_of(old_file), "old");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  // A file the user made read-only is not replaced (on Windows the platform
  // refuses; under Wine and on the host the operation does).
  const std::string new_file = dir.file("a.png.tmp");
  std::ofstream(new_file, std::ios::binary) << "new";
  std::filesystem::permissions(old_file, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(file_replace(new_file, old_file), 0);
  EXPECT_EQ(contents_of(old_file), "old");
  EXPECT_EQ(contents_of(new_file), "new");
  std::filesystem::permissions(old_file, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

}  // namespace
