// File operations against real files and directories under Wine.
#include "runtime/files.h"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <fstream>

#include "runtime/file_io.h"
#include "runtime/files_testing.h"
#include "support/scratch_dir.h"

namespace {

class FilesTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::string make_file(const std::string& name, const std::string& contents) {
    std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }
  static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(FilesTest, size_of_files_empty_files_and_missing_names) {
  EXPECT_EQ(file_size(make_file("five.bin", "12345")), 5);
  EXPECT_EQ(file_size(make_file("empty.bin", "")), 0);
  EXPECT_EQ(file_size(dir.file("missing.bin")), FILE_SIZE_MISSING);
  EXPECT_EQ(file_size(""), FILE_SIZE_MISSING);
}

TEST_F(FilesTest, size_of_directories_with_and_without_trailing_backslash) {
  std::string path = dir.path().string();
  EXPECT_EQ(file_size(path), FILE_SIZE_DIRECTORY);
  EXPECT_EQ(file_size(path + "\\"), FILE_SIZE_DIRECTORY);
  EXPECT_EQ(file_size(path + "\\\\"), FILE_SIZE_DIRECTORY);
}

TEST_F(FilesTest, size_of_drives_network_paths_and_parent_directories) {
  EXPECT_EQ(file_size("C:"), FILE_SIZE_DIRECTORY);
  EXPECT_EQ(file_size("C:\\"), FILE_SIZE_DIRECTORY);
  char letter = 'Q';
  for (; letter > 'D'; --letter) {
    std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) break;
  }
  EXPECT_EQ(file_size(std::string(1, letter) + ":"), FILE_SIZE_MISSING);
  EXPECT_EQ(file_size("\\\\no-such-host\\share\\file.jpg"), FILE_SIZE_MISSING);
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(dir.path().string().c_str());
  CreateDirectoryA("inner", nullptr);
  SetCurrentDirectoryA("inner");
  EXPECT_EQ(file_size(".."), FILE_SIZE_DIRECTORY);
  EXPECT_EQ(file_size("..\\missing"), FILE_SIZE_MISSING);
  SetCurrentDirectoryA(current);
}

TEST_F(FilesTest, size_of_a_five_gigabyte_sparse_file_is_exact) {
  std::string path = dir.file("big.bin");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = 5LL * 1024 * 1024 * 1024 + 123;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(file_size(path), 5LL * 1024 * 1024 * 1024 + 123);
}

// Without long paths a path of 260 characters or more is refused (the
// platform's "too long"), never cut to the file its first 259 name; where
// Windows allows them, files of 300 characters are made, read, sized,
// renamed and deleted.
TEST_F(FilesTest, long_paths_are_taken_where_allowed_and_never_cut) {
  long_paths_allowed_for_testing(0);
  std::string base = dir.path().string() + "\\";
  std::string name(PATH_BUFFER_LENGTH - 1 - base.size(), 'x');
  std::string path = base + name;
  ASSERT_EQ(path.size(), PATH_BUFFER_LENGTH - 1);
  ASSERT_TRUE(path_fits_platform(path));
  make_file(name, "abc");
  EXPECT_EQ(file_size(path), 3);
  EXPECT_EQ(file_size(path + "yz"), FILE_SIZE_MISSING);
  EXPECT_EQ(directory_create(path + "yz"), 0);
  EXPECT_EQ(file_copy(path, path + "yz"), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(file_size(path), 3);

  long_paths_allowed_for_testing(1);
  const std::string folder = base + std::string(150, 'd');
  const std::string deep = folder + "\\" + std::string(150 - base.size(), 'f');
  ASSERT_EQ(deep.size(), 301u);
  EXPECT_EQ(directory_create(folder), 1);
  EXPECT_EQ(file_copy(path, deep), 1);
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(file_read_whole(deep.c_str(), bytes));
  EXPECT_EQ(bytes.size(), 3u);
  EXPECT_EQ(file_rename(deep, deep + "2"), 1);
  EXPECT_EQ(file_size(deep + "2"), 3);
  EXPECT_EQ(file_delete(deep + "2"), 1);
  long_paths_allowed_for_testing(-1);
}

TEST_F(FilesTest, delete_copy_and_rename) {
  std::string a = make_file("a.txt", "first"), b = make_file("b.txt", "second");
  EXPECT_NE(file_copy(a, b), 0);  // overwrites
  EXPECT_EQ(slurp(b), "first");
  std::string c = make_file("c.txt", "third");
  EXPECT_EQ(file_rename(c, b), 0);  // refuses to replace
  EXPECT_EQ(slurp(b), "first");
  EXPECT_EQ(slurp(c), "third");
  CreateDirectoryA(dir.file("sub").c_str(), nullptr);
  std::string moved = dir.file("sub\\moved.txt");
  EXPECT_NE(file_rename(c, moved), 0);  // moves to another directory
  EXPECT_EQ(slurp(moved), "third");
  EXPECT_EQ(file_size(c), FILE_SIZE_MISSING);
  EXPECT_NE(file_delete(a), 0);
  EXPECT_EQ(file_size(a), FILE_SIZE_MISSING);
  EXPECT_EQ(file_delete(a), 0);
  EXPECT_EQ(file_delete(""), 0);
  EXPECT_EQ(file_copy("", b), 0);
  EXPECT_EQ(file_rename(b, ""), 0);
}

TEST_F(FilesTest, directory_create_makes_the_last_level_only_once) {
  std::string images = dir.file("ResizedImages");
  EXPECT_NE(directory_create(images), 0);
  EXPECT_EQ(directory_create(images), 0);
  EXPECT_EQ(file_size(images), FILE_SIZE_DIRECTORY);
  EXPECT_NE(directory_create(dir.file("Trailing") + "\\/  "), 0);
  EXPECT_EQ(file_size(dir.file("Trailing")), FILE_SIZE_DIRECTORY);
  EXPECT_EQ(directory_create(dir.file("no\\parent\\here")), 0);
  EXPECT_EQ(directory_create(""), 0);
}

TEST_F(FilesTest, current_directory_always_ends_with_one_backslash) {
  std::string before = directory_current();
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(before.back(), '\\');
  ASSERT_NE(directory_set_current("C:\\"), 0);
  EXPECT_EQ(directory_current(), "C:\\");
  ASSERT_NE(directory_set_current(dir.path().string()), 0);
  EXPECT_EQ(directory_current(), dir.path().string() + "\\");
  EXPECT_EQ(directory_set_current(dir.file("missing")), 0);
  EXPECT_EQ(directory_set_current(""), 0);
  directory_set_current(before);
}

TEST(PathRules, drive_names_and_trimming) {
  EXPECT_EQ(drive_root_of("C:"), "C:\\");
  EXPECT_EQ(drive_root_of("d:\\"), "d:\\");
  EXPECT_EQ(drive_root_of("C:\\x"), "");
  EXPECT_EQ(drive_root_of("C"), "");
  EXPECT_EQ(trim_trailing("a\\\\", "\\"), "a");
  EXPECT_EQ(trim_trailing("\\", "\\"), "\\");
  EXPECT_EQ(trim_trailing("x / \\", " \\/"), "x");
}

}  // namespace
