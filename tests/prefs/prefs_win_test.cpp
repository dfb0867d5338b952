// Preference files that other handles hold: read-only opens leave the file
// unchanged, locked files give defaults, readers do not keep the settings
// from being written.
#include "prefs/prefs.h"
#include "prefs/prefs_testing.h"

#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "prefs_fixture.h"
#include "runtime/scoped_win.h"

namespace {

using PrefsSharingTest = PrefsTest;

TEST_F(PrefsSharingTest, file_that_opens_only_for_reading_is_read_and_left_unchanged) {
  std::string path = write_file("ro.ini", "Width = 640\n");
  // Another writer that lets others read: this program can only read.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_state().read_only_open, 1);
  EXPECT_EQ(prefs_read_int("Width", 0), 640);
  prefs_write_int("Width", 1);
  prefs_close();
  CloseHandle(writer);
  EXPECT_EQ(read_file(path), "Width = 640\n");
}

TEST_F(PrefsSharingTest, file_locked_by_another_handle_gives_defaults) {
  std::string path = write_file("locked.ini", "Width = 640\n");
  HANDLE locker = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  EXPECT_EQ(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("Width", 5), 5);
  prefs_write_int("Width", 6);
  prefs_close();  // the file cannot be created while it is locked
  CloseHandle(locker);
  EXPECT_EQ(read_file(path), "Width = 640\n");
}

TEST_F(PrefsSharingTest,
       others_read_but_never_write_the_file_in_hand_and_it_is_written_all_the_same) {
  std::string path = write_file("shared.ini", "Width = 640\r\n");
  ASSERT_NE(prefs_open(path), 0u);
  KernelHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_FALSE(writer);
  KernelHandle reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader);
  auto seen_by_reader = [&] {
    std::string text(64, '\0');
    DWORD got = 0;
    SetFilePointer(reader.get(), 0, nullptr, FILE_BEGIN);
    ReadFile(reader.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    return text.substr(0, got);
  };
  // The reader's handle refuses the replacement: the settings are written
  // through the file itself.
  prefs_write_int("Width", 800);
  prefs_close();
  EXPECT_EQ(read_file(path), "Width = 800\r\n");
  // A created file keeps the old settings on the disk until it is closed.
  ASSERT_NE(prefs_create(path), 0u);
  EXPECT_EQ(seen_by_reader(), "Width = 800\r\n");
  prefs_write_int("Width", 1024);
  prefs_close();
  EXPECT_EQ(seen_by_reader(), "Width = 1024\r\n");
  reader.reset();
  ASSERT_NE(prefs_open(path), 0u);
  prefs_write_int("Width", 640);
  prefs_close();
  EXPECT_EQ(read_file(path), "Width = 640\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
