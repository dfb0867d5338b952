// A job in replace mode whose process is killed while it runs: every source
// is afterwards either the old picture, byte for byte, or the whole new one.
#include <windows.h>

#include <gtest/gtest.h>

#include "app_pictures.h"
#include "support/child_process.h"
#include "job_fixture.h"
#include "runtime/strings.h"

namespace {

class KilledJobTest : public JobTest {
 protected:
  struct Source {
    std::string path;
    std::vector<std::uint8_t> bytes;
    std::vector<int> scaled;  // width, height and depth of the new picture
  };

  std::vector<Source> make_sources(const std::string& folder) {
    std::filesystem::create_directory(folder);
    std::vector<Source> sources;
    for (int i = 0; i < 12; ++i) {
      Source source;
      source.path = folder + "\\" + std::to_string(10 + i) + (i % 2 ? ".png" : ".jpg");
      bool written = i % 2 ? write_test_png(source.path, 1200, 900, true)
                           : write_test_jpeg_with_exif(source.path, 1600, 1200);
      EXPECT_TRUE(written);
      source.bytes = read_bytes(source.path);
      source.scaled = {400, 300, i % 2 ? 32 : 24};
      sources.push_back(source);
    }
    EXPECT_TRUE(CopyFileA(SKALARO_JHEAD_EXE, (folder + "\\jhead.exe").c_str(), FALSE));
    return sources;
  }

  static bool any_changed(const std::vector<Source>& sources) {
    for (const Source& source : sources) {
      std::error_code error;
      auto size = std::filesystem::file_size(source.path, error);
      if (!error && size != source.bytes.size()) return true;
    }
    return false;
  }

  // Starts the helper, waits until it has replaced a first source, lets it
  // go on for `more_ms` and kills it. False when it ended before.
  bool kill_midway(const std::string& folder, bool keep_exif, int more_ms,
                   const std::vector<Source>& sources) {
    std::string command = "\"" + path_part(program_filename()) + "job_kill_helper.exe\" \"" +
                          folder + "\" " + (keep_exif ? "1" : "0");
    const ChildProcess helper = start_process(command);
    if (!helper) {
      ADD_FAILURE() << "helper not started";
      return false;
    }
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!any_changed(sources) && helper.wait(2) == 0xFFFFFFFE &&
           std::chrono::steady_clock::now() < give_up) {
    }
    Sleep(static_cast<DWORD>(more_ms));
    const bool killed = TerminateProcess(helper.process.get(), 9) != 0;
    return killed && helper.wait(INFINITE) == 9;
  }
};

TEST_F(KilledJobTest, every_source_is_the_old_picture_or_the_whole_new_one) {
  int rounds_cut_midway = 0;
  const int extra_ms[] = {0, 10, 30, 60, 120, 240};
  for (int round = 0; round < 6; ++round) {
    const std::string folder = in("round" + std::to_string(round));
    const std::vector<Source> sources = make_sources(folder);
    const bool keep_exif = round % 2 == 1;
    kill_midway(folder, keep_exif, extra_ms[round], sources);
    Sleep(300);  // a jhead started just before the kill finishes on its own

    int replaced = 0;
    for (const Source& source : sources) {
      const auto now = read_bytes(source.path);
      if (now == source.bytes) continue;
      ++replaced;
      EXPECT_EQ(picture_of(source.path), source.scaled) << source.path << " round " << round;
      ASSERT_GE(now.size(), 2u);
      if (source.path.ends_with(".jpg")) {
        EXPECT_EQ(now[now.size() - 1], 0xD9) << source.path;
        if (keep_exif) {
          EXPECT_TRUE(contains(now, exif_segment())) << source.path;
        }
      }
    }
    if (replaced > 0 && replaced < static_cast<int>(sources.size())) ++rounds_cut_midway;
  }
  // The kills did land while the job was working, not only before or after it.
  EXPECT_GE(rounds_cut_midway, 3);
}

}  // namespace
