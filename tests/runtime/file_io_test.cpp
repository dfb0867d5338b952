// Whole-file reads and the write-or-leave-nothing output file.
#include "runtime/file_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/scratch_dir.h"

namespace {

TEST(FileIo, reads_whole_files_and_refuses_missing_or_oversized_ones) {
  ScratchDir dir;
  std::string name = dir.file("data.bin");
  std::ofstream(name, std::ios::binary) << std::string("\0abc\xff", 5);
  std::vector<std::uint8_t> contents;
  ASSERT_TRUE(file_read_whole(name.c_str(), contents));
  EXPECT_EQ(contents, (std::vector<std::uint8_t>{0, 'a', 'b', 'c', 0xff}));
  EXPECT_FALSE(file_read_whole(name.c_str(), contents, 4));
  EXPECT_TRUE(contents.empty());
  EXPECT_FALSE(file_read_whole(dir.file("missing").c_str(), contents));
  EXPECT_FALSE(file_read_whole("", contents));
  EXPECT_FALSE(file_read_whole(dir.path().string().c_str(), contents));
}

TEST(FileIo, empty_file_reads_as_empty) {
  ScratchDir dir;
  std::string name = dir.file("empty");
  std::ofstream(name, std::ios::binary).close();
  std::vector<std::uint8_t> contents{1};
  EXPECT_TRUE(file_read_whole(name.c_str(), contents));
  EXPECT_TRUE(contents.empty());
}

TEST(FileIo, committed_output_stays_and_replaces_an_old_file) {
  ScratchDir dir;
  std::string name = dir.file("out.bin");
  std::ofstream(name) << "old contents that are longer";
  OutputFile file;
  ASSERT_TRUE(file.create(name.c_str()));
  ASSERT_TRUE(file.write("new", 3));
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(std::filesystem::file_size(name), 3u);
}

TEST(FileIo, output_that_is_not_committed_leaves_no_file) {
  ScratchDir dir;
  std::string name = dir.file("partial.bin");
  {
    OutputFile file;
    ASSERT_TRUE(file.create(name.c_str()));
    ASSERT_TRUE(file.write("half", 4));
    EXPECT_FALSE(file_exists(name.c_str()));  // the name appears only on commit
  }
  EXPECT_FALSE(file_exists(name.c_str()));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(FileIo, output_given_up_leaves_the_earlier_file_and_files_it_did_not_make) {
  ScratchDir dir;
  const std::string name = dir.file("photo.jpg");
  const std::string lookalike = output_temporary_name(name, 0);  // someone else's file
  std::ofstream(name) << "earlier";
  std::ofstream(lookalike) << "foreign";
  {
    OutputFile file;
    ASSERT_TRUE(file.create(name.c_str()));
    ASSERT_TRUE(file.write("new", 3));
  }
  std::vector<std::uint8_t> contents;
  ASSERT_TRUE(file_read_whole(name.c_str(), contents));
  EXPECT_EQ(std::string(contents.begin(), contents.end()), "earlier");
  ASSERT_TRUE(file_read_whole(lookalike.c_str(), contents));
  EXPECT_EQ(std::string(contents.begin(), contents.end()), "foreign");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(FileIo, a_leftover_of_an_earlier_run_is_removed_by_the_next_writer_of_its_target) {
  ScratchDir dir;
  const std::string name = dir.file("photo.jpg");
  const std::string leftover = output_temporary_name(name, 0);
  const std::string recent = output_temporary_name(name, 1);
  const std::string other_target = output_temporary_name(dir.file("other.jpg"), 0);
  for (const std::string& file : {leftover, recent, other_target})
    std::ofstream(file) << "half a picture";
  const auto last_year =
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365);
  std::filesystem::last_write_time(leftover, last_year);
  std::filesystem::last_write_time(other_target, last_year);
  // Stamped a moment before this process started, as a file written just
  // after the start can be by a file system's coarser clock.
  std::filesystem::last_write_time(
      recent, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(1));
  EXPECT_LE(name.size() + 2, leftover.size());  // two characters longer than the target
  OutputFile file;
  ASSERT_TRUE(file.create(name.c_str()));
  ASSERT_TRUE(file.write("new", 3));
  ASSERT_TRUE(file.commit());
  EXPECT_FALSE(file_exists(leftover.c_str()));
  EXPECT_TRUE(file_exists(recent.c_str()));  // perhaps another writer's, being filled now
  EXPECT_TRUE(file_exists(other_target.c_str()));
}

TEST(FileIo, committing_over_a_read_only_file_fails_and_leaves_it) {
  ScratchDir dir;
  const std::string name = dir.file("protected.bmp");
  std::ofstream(name) << "old";
  std::filesystem::permissions(name, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  OutputFile file;
  ASSERT_TRUE(file.create(name.c_str()));
  ASSERT_TRUE(file.write("new", 3));
  EXPECT_FALSE(file.commit());
  std::vector<std::uint8_t> contents;
  ASSERT_TRUE(file_read_whole(name.c_str(), contents));
  EXPECT_EQ(std::string(contents.begin(), contents.end()), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  std::filesystem::permissions(name, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST(FileIo, output_into_a_missing_directory_fails) {
  ScratchDir dir;
  OutputFile file;
  EXPECT_FALSE(file.create(dir.file("no/such/dir/x.bin").c_str()));
  EXPECT_FALSE(file.write("x", 1));
  EXPECT_FALSE(file.commit());
}

}  // namespace
