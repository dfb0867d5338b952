// The EXIF tool as the program ships it: the jhead.exe built from Debian's
// source, run with the job's command line, ends cleanly and leaves a
// complete picture that carries the source's EXIF block; and the job keeps
// the block in copy and in replace mode, saying 1 on turned photos' copies.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/resize_file_testing.h"
#include "app/resize_rules.h"
#include "app_pictures.h"
#include "support/child_process.h"
#include "job_fixture.h"

namespace {

class JheadTest : public JobTest {
 protected:
  void SetUp() override {
    JobTest::SetUp();
    // The job finds the tool in the current directory, as beside the program.
    ASSERT_TRUE(CopyFileA(SKALARO_JHEAD_EXE, in("jhead.exe").c_str(), FALSE))
        << "jhead.exe is built by scripts/build_jhead.sh: " << SKALARO_JHEAD_EXE;
  }
  // Runs the tool the way the job does (detached, waited for); its exit code.
  DWORD run_jhead(const std::string& source, const std::string& destination) {
    return run_process("\"jhead.exe\" " + jhead_parameters(source, destination), 120000,
                       DETACHED_PROCESS | NORMAL_PRIORITY_CLASS);
  }
  // The decoded pixels of a file.
  static std::vector<std::uint8_t> pixels_of(const std::string& name) {
    if (!image_load(3, name.c_str())) return {};
    PixelStoreInfo info{};
    pixel_store_info(image_handle(3), &info);
    std::vector<std::uint8_t> pixels(info.bits, info.bits + info.pitch * info.height);
    image_free(3);
    return pixels;
  }
};

TEST_F(JheadTest, te_carries_the_exif_block_and_keeps_the_whole_picture) {
  ASSERT_TRUE(write_test_jpeg_with_exif(in("camera.jpg"), 640, 480));
  ASSERT_TRUE(write_test_jpeg(in("small.jpg.tmp"), 320, 240));
  const auto picture = pixels_of(in("small.jpg.tmp"));

  EXPECT_EQ(run_jhead(in("camera.jpg"), in("small.jpg.tmp")), 0u);  // ends cleanly

  const auto result = read_bytes(in("small.jpg.tmp"));
  EXPECT_TRUE(contains(result, exif_segment()));
  ASSERT_GE(result.size(), 4u);
  EXPECT_EQ(result[result.size() - 2], 0xFF);
  EXPECT_EQ(result[result.size() - 1], 0xD9);
  EXPECT_EQ(pixels_of(in("small.jpg.tmp")), picture);  // the same picture, all of it
  EXPECT_FALSE(file_exists(in("small.jpg.tmp.t").c_str()));
}

TEST_F(JheadTest, the_job_keeps_the_exif_block_in_copy_and_replace_mode) {
  ASSERT_TRUE(write_test_jpeg_with_exif(in("copy.jpg"), 800, 600));
  ASSERT_TRUE(write_test_jpeg_with_exif(in("replace.jpg"), 800, 600));
  window.check_boxes[GADGET_KEEP_EXIF] = 1;
  run_job({in("copy.jpg")});
  window.check_boxes[GADGET_REPLACE_ORIGINALS] = 1;
  app_state().list_rebuild_pending = 0;
  run_job({in("replace.jpg")});

  for (const std::string& name : {out("copy.jpg"), in("replace.jpg")}) {
    EXPECT_TRUE(contains(read_bytes(name), exif_segment())) << name;
    EXPECT_EQ(picture_of(name), (std::vector<int>{400, 300, 24})) << name;
  }
  EXPECT_TRUE(temporary_files().empty());
  EXPECT_TRUE(window.messages().empty());
}

// A jhead that hangs is ended after the time limit, and at once when the
// job is asked to stop (the window closed); its temporary file goes, and
// the picture is named with the reason.
TEST_F(JheadTest, a_hanging_jhead_is_ended_and_leaves_no_temporary_file) {
  ASSERT_TRUE(CopyFileA(SKALARO_HANGING_JHEAD, in("jhead.exe").c_str(), FALSE));
  ASSERT_TRUE(write_test_jpeg_with_exif(in("hangs.jpg"), 800, 600));
  window.check_boxes[GADGET_KEEP_EXIF] = 1;
  jhead_time_limit_for_testing(std::chrono::seconds(1));
  run_job({in("hangs.jpg")});
  jhead_time_limit_for_testing({});
  EXPECT_TRUE(temporary_files().empty());
  EXPECT_FALSE(file_exists(out("hangs.jpg").c_str()));
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_NE(window.messages()[0].text.find(in("hangs.jpg") + "\r    jhead.exe hat nicht innerhalb"),
            std::string::npos);

  app_state().list_rebuild_pending = 0;
  const auto start = std::chrono::steady_clock::now();
  std::thread close_window([] {
    Sleep(1500);
    app_state().job_stop_requested = 1;
  });
  run_job({in("hangs.jpg")});
  close_window.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(temporary_files().empty());
  EXPECT_EQ(window.messages().size(), 1u);  // a closed window shows nothing more
}

// Photos in all eight orientations (96 x 64 as shown, in the box 48 x 48),
// in copy and in replace mode, with and without their EXIF block: every
// copy is sized as shown and turned upright, and a carried block says 1.
TEST_F(JheadTest, photos_come_out_upright_and_a_carried_block_says_1) {
  // Where the test pixels' darkest corner, the stored bottom left, shows in a
  // copy of 48 x 32, by orientation: x, row counted from the bottom.
  const int shown_at[9][2] = {{},       {0, 0},  {47, 0}, {47, 31}, {0, 31},
                              {47, 31}, {0, 31}, {0, 0},  {47, 0}};
  resize_settings().target_width = resize_settings().target_height = 48;
  for (const int replace : {0, 1})
    for (const int exif : {0, 1}) {
      window.check_boxes[GADGET_REPLACE_ORIGINALS] = replace;
      window.check_boxes[GADGET_KEEP_EXIF] = exif;
      std::vector<std::string> photos;
      for (int orientation = 1; orientation <= 8; ++orientation) {
        photos.push_back(in("o" + std::to_string(orientation) + ".jpg"));
        ASSERT_TRUE(write_test_jpeg_with_exif(photos.back(), 96, 64, orientation));
      }
      app_state().list_rebuild_pending = 0;
      run_job(photos);
      for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string copy =
            replace ? photos[orientation - 1] : out("o" + std::to_string(orientation) + ".jpg");
        SCOPED_TRACE(copy + (exif ? " with EXIF" : ""));
        EXPECT_EQ(contains(read_bytes(copy), exif_segment(1)), exif == 1);
        ASSERT_EQ(picture_of(copy), (std::vector<int>{48, 32, 24}));
        const auto p = pixels_of(copy);  // rows of 144 bytes, bottom first
        const std::size_t at = shown_at[orientation][1] * 144 + shown_at[orientation][0] * 3;
        EXPECT_LT(p[at] + p[at + 1], 60);  // blue and green
      }
    }
}

}  // namespace
