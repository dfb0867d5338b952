// Whole-file reads and the write-or-leave-nothing output file.
#include "runtime/file_io.h"

#include <gtest/gtest.h>

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

TEST(FileIo, output_into_a_missing_directory_fails) {
  ScratchDir dir;
  OutputFile file;
  EXPECT_FALSE(file.create(dir.file("no/such/dir/x.bin").c_str()));
  EXPECT_FALSE(file.write("x", 1));
  EXPECT_FALSE(file.commit());
}

}  // namespace
