// The resize job under Windows with real files: sizes and names in copy
// mode, the fitting picture copied byte for byte, replace mode through
// temporary files, the requesters, and the three mends: no source is lost
// when writing fails, failures are named at the end, and an unusable box
// touches nothing.
#include "app/resize_job.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "app_pictures.h"
#include "job_fixture.h"

namespace {

using Shape = std::vector<int>;

TEST_F(JobTest, copy_mode_sizes_names_and_skips) {
  ASSERT_TRUE(write_test_jpeg(in("big.jpg"), 800, 600));
  ASSERT_TRUE(write_test_png(in("wide.png"), 1000, 500, true));
  ASSERT_TRUE(write_test_jpeg_with_exif(in("Fits.JPG"), 400, 300));
  ASSERT_TRUE(write_test_jpeg(in("Urlaub 2013 (1).jpeg"), 600, 600));
  write_bytes(in("c.gif"), {'G', 'I', 'F', '8', '9', 'a'});
  write_bytes(in("corrupt.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3});
  const auto fitting = read_bytes(in("Fits.JPG"));
  window.check_boxes[GADGET_WEB_NAMES] = 1;
  SetFileAttributesA(in("Fits.JPG").c_str(), FILE_ATTRIBUTE_READONLY);

  run_job({in("big.jpg"), in("wide.png"), in("Fits.JPG"), in("Urlaub 2013 (1).jpeg"), in("c.gif"),
           in("corrupt.jpg")});
  SetFileAttributesA(in("Fits.JPG").c_str(), FILE_ATTRIBUTE_NORMAL);
  // The copy of a read-only picture is an ordinary file, which the list can delete.
  EXPECT_FALSE(GetFileAttributesA(out("Fits.JPG").c_str()) & FILE_ATTRIBUTE_READONLY);

  EXPECT_EQ(picture_of(out("big.jpg")), (Shape{400, 300, 24}));
  EXPECT_EQ(picture_of(out("wide.png")), (Shape{400, 200, 32}));
  EXPECT_EQ(read_bytes(out("Fits.JPG")), fitting);  // never encoded again
  EXPECT_EQ(picture_of(out("Urlaub_2013__1_.jpeg")), (Shape{300, 300, 24}));
  EXPECT_FALSE(file_exists(out("c.gif").c_str()));
  EXPECT_EQ(picture_of(in("big.jpg")), (Shape{800, 600, 24}));  // sources stay
  EXPECT_TRUE(temporary_files().empty());

  // Only the picture that could not be loaded was shown, and the job finished.
  const auto messages = window.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Folgende Datei konnte nicht geladen werden:");
  EXPECT_EQ(messages[0].text, messages[0].title + "\r" + in("corrupt.jpg") +
                                  "\r    keine lesbare JPEG- oder PNG-Datei\r");
  // Finished pictures, counted as they finish (two at once show as one step).
  const auto progress = window.progress();
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(progress.back(), 100);
  EXPECT_EQ(window.status().substr(0, 36), "100 %\r6 von 6 Bildern verarbeitet\rVe");
  EXPECT_EQ(app_state().list_rebuild_pending, 1);
}

TEST_F(JobTest, settings_and_check_boxes_are_taken_when_the_job_starts) {
  ASSERT_TRUE(write_test_jpeg(in("first.jpg"), 800, 600));
  ASSERT_TRUE(write_test_jpeg(in("second.jpg"), 800, 600));
  int reads = 0;
  window.on_check_box_read = [&](object_number) { ++reads; };
  // The user types a new width and ticks a box after the first picture.
  window.on_progress = [&] {
    resize_settings().target_width = 8;
    window.check_boxes[GADGET_REPLACE_ORIGINALS] = 1;
  };
  run_job({in("first.jpg"), in("second.jpg")});
  EXPECT_EQ(reads, 3);  // each box once, at the start
  EXPECT_EQ(picture_of(out("first.jpg")), (Shape{400, 300, 24}));
  EXPECT_EQ(picture_of(out("second.jpg")), (Shape{400, 300, 24}));
  EXPECT_EQ(picture_of(in("second.jpg")), (Shape{800, 600, 24}));
}

// Pictures are done several at once, yet the user sees them in drop order:
// a picture that fails late is shown before a later one that failed early,
// the failure list keeps the drop order, and of two pictures with the same
// name the later one's copy stays, however long the earlier one takes.
TEST_F(JobTest, pictures_done_at_once_are_reported_in_drop_order_and_the_later_name_wins) {
  for (const std::string& folder : {in("eins"), in("zwei"), out("")})
    std::filesystem::create_directories(folder);
  ASSERT_TRUE(write_test_png(in("spaet.png"), 3000, 2000, true));
  auto cut = read_bytes(in("spaet.png"));
  cut.resize(cut.size() - 5000);  // fails only at the end of a long decode
  write_bytes(in("spaet.png"), cut);
  write_bytes(in("gleich.jpg"), {0xFF, 0xD8, 0xFF});  // fails at once
  // A PNG under a JPEG's name: slow to decode, written as a JPEG.
  ASSERT_TRUE(write_test_png(in("eins\\gleich.jpg"), 3000, 2000, true));
  ASSERT_TRUE(write_test_jpeg(in("zwei\\gleich.jpg"), 900, 300));
  ASSERT_TRUE(write_test_png(in("gross.png"), 3000, 2000, false));
  ASSERT_TRUE(write_test_png(in("klein.png"), 800, 600, false));
  for (const char* name : {"gross.png", "klein.png"}) {  // copies that cannot be replaced
    write_bytes(out(name), {'x'});
    SetFileAttributesA(out(name).c_str(), FILE_ATTRIBUTE_READONLY);
  }

  run_job({in("spaet.png"), in("gleich.jpg"), in("eins\\gleich.jpg"), in("zwei\\gleich.jpg"),
           in("gross.png"), in("klein.png")});
  for (const char* name : {"gross.png", "klein.png"})
    SetFileAttributesA(out(name).c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_EQ(picture_of(out("gleich.jpg")), (Shape{400, 133, 24}));
  const auto messages = window.messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_NE(messages[0].text.find(in("spaet.png")), std::string::npos);
  EXPECT_NE(messages[1].text.find(in("gleich.jpg")), std::string::npos);
  EXPECT_LT(messages[2].text.find(in("gross.png")), messages[2].text.find(in("klein.png")));
  EXPECT_TRUE(temporary_files().empty());
}

TEST_F(JobTest, replace_mode_writes_every_picture_through_a_temporary_file) {
  ASSERT_TRUE(write_test_png(in("a.png"), 1000, 500, true));
  ASSERT_TRUE(write_test_jpeg(in("b.jpg"), 800, 600));
  ASSERT_TRUE(write_test_png(in("fit.png"), 300, 200, false));
  const auto fitting = read_bytes(in("fit.png"));
  window.check_boxes[GADGET_REPLACE_ORIGINALS] = 1;
  resize_settings().mode = "min";

  run_job({in("a.png"), in("b.jpg"), in("fit.png")});

  EXPECT_EQ(picture_of(in("a.png")), (Shape{600, 300, 32}));
  EXPECT_EQ(picture_of(in("b.jpg")), (Shape{400, 300, 24}));
  EXPECT_EQ(read_bytes(in("fit.png")), fitting);
  EXPECT_EQ(read_bytes(out("fit.png")), fitting);  // a fitting picture is copied
  EXPECT_FALSE(file_exists(out("a.png").c_str()));
  EXPECT_TRUE(temporary_files().empty());
  EXPECT_TRUE(window.messages().empty());  // a job without failures shows nothing
}

// Mends 1 and 2: a write that fails leaves its source exactly as it was and
// no temporary file, and the job names every such picture at its end.
TEST_F(JobTest, failed_writes_keep_their_sources_and_are_named_at_the_end) {
  ASSERT_TRUE(write_test_jpeg(in("read-only.jpg"), 800, 600));
  ASSERT_TRUE(write_test_png(in("locked.png"), 800, 600, false));
  ASSERT_TRUE(write_test_png(in("blocked.png"), 800, 600, true));
  ASSERT_TRUE(write_test_png(in("fine.png"), 800, 600, true));
  std::filesystem::create_directory(in("blocked.png.tmp"));  // the encoder cannot create it
  ASSERT_TRUE(SetFileAttributesA(in("read-only.jpg").c_str(), FILE_ATTRIBUTE_READONLY));
  std::map<std::string, std::vector<std::uint8_t>> before;
  for (const char* name : {"read-only.jpg", "locked.png", "blocked.png"})
    before[name] = read_bytes(in(name));
  // Held open the way a picture viewer holds it: others may read, not replace.
  HANDLE lock = CreateFileA(in("locked.png").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  window.check_boxes[GADGET_REPLACE_ORIGINALS] = 1;

  run_job({in("read-only.jpg"), in("locked.png"), in("blocked.png"), in("fine.png")});
  CloseHandle(lock);
  SetFileAttributesA(in("read-only.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);

  for (const auto& [name, bytes] : before) EXPECT_EQ(read_bytes(in(name)), bytes) << name;
  EXPECT_EQ(picture_of(in("fine.png")), (Shape{400, 300, 32}));
  EXPECT_TRUE(temporary_files().empty());
  const auto messages = window.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Folgende Bilder konnten nicht geschrieben werden:");
  // Each in drop order, with the platform's words for why.
  std::size_t at = messages[0].text.find(messages[0].title + "\r");
  for (const char* name : {"read-only.jpg", "locked.png", "blocked.png"}) {
    at = messages[0].text.find(in(name) + "\r    ", at);
    ASSERT_NE(at, std::string::npos) << name << " in " << messages[0].text;
    EXPECT_NE(messages[0].text[at + in(name).size() + 5], '\r') << name;  // a reason
  }
}

TEST_F(JobTest, an_output_folder_that_cannot_be_made_is_reported_not_counted_as_done) {
  write_bytes(in("ResizedImages"), {'x'});  // a file where the folder should go
  std::vector<std::string> paths;
  for (int i = 1; i <= 12; ++i) {
    paths.push_back(in("p" + std::to_string(i) + ".jpg"));
    ASSERT_TRUE(write_test_jpeg(paths.back(), i % 2 ? 500 : 100, 100));
  }
  run_job(paths);
  const auto messages = window.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Folgende Bilder konnten nicht geschrieben werden:");
  for (int i = 0; i < 9; ++i)
    EXPECT_NE(messages[0].text.find(paths[static_cast<std::size_t>(i)] + "\r    "),
              std::string::npos);
  EXPECT_NE(messages[0].text.find("\r... und 3 weitere Bilder\r"), std::string::npos);
  EXPECT_EQ(window.progress().back(), 100);
}

// Mend 3: with a side of the box at 0 or below nothing is scaled, copied or
// replaced; the pictures are named with a word on the size.
TEST_F(JobTest, an_unusable_box_touches_no_picture) {
  ASSERT_TRUE(write_test_jpeg(in("a.jpg"), 800, 600));
  ASSERT_TRUE(write_test_png(in("b.png"), 20, 20, true));
  const auto a = read_bytes(in("a.jpg")), b = read_bytes(in("b.png"));
  window.check_boxes[GADGET_REPLACE_ORIGINALS] = 1;
  for (std::int64_t width : {0, -3}) {
    resize_settings().target_width = width;
    app_state().list_rebuild_pending = 0;
    run_job({in("a.jpg"), in("b.png")});
  }
  EXPECT_EQ(read_bytes(in("a.jpg")), a);
  EXPECT_EQ(read_bytes(in("b.png")), b);
  EXPECT_TRUE(std::filesystem::is_empty(out("")));
  const auto messages = window.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, messages[1].title + "\r" + in("a.jpg") + "\r" + in("b.png") +
                                  "\r\rBreite und H\xf6he der neuen Bildgr\xf6\xdf"
                                  "e m\xfcssen gr\xf6\xdf"
                                  "er als 0 sein.\r");
}

}  // namespace
