// The resize job's rules: sizes, names, the status text and the failure
// requester, with the examples the program is known by.
#include "app/resize_rules.h"

#include <gtest/gtest.h>

#include "app/job_messages.h"
#include "image/pixel_layout.h"
#include "regex/regex.h"
#include "runtime/strings.h"
#include "support/runtime_fixture.h"

namespace {

TEST(SizingRule, box_400_by_300_with_1000_by_500_in_every_mode) {
  const PictureSize picture{1000, 500}, box{400, 300};
  EXPECT_EQ(scaled_size(picture, box, "max"), (PictureSize{400, 200}));
  EXPECT_EQ(scaled_size(picture, box, "min"), (PictureSize{600, 300}));
  EXPECT_EQ(scaled_size(picture, box, "noaspect"), (PictureSize{400, 300}));
  EXPECT_EQ(scaled_size(picture, box, "MAX"), (PictureSize{400, 300}));  // compared exactly
  EXPECT_EQ(scaled_size({1000, 100}, box, "min"), (PictureSize{3000, 300}));
  // Equal aspects take the second branch: the box's width under "max", its height under "min".
  EXPECT_EQ(scaled_size({800, 600}, box, "max"), (PictureSize{400, 300}));
  EXPECT_EQ(scaled_size({800, 600}, box, "min"), (PictureSize{400, 300}));
  EXPECT_EQ(scaled_size({500, 1000}, box, "max"), (PictureSize{150, 300}));
}

TEST(SizingRule, only_a_picture_beyond_the_box_is_scaled) {
  EXPECT_FALSE(picture_exceeds_box({400, 300}, {400, 300}));
  EXPECT_FALSE(picture_exceeds_box({10, 300}, {400, 300}));
  EXPECT_TRUE(picture_exceeds_box({401, 10}, {400, 300}));
  EXPECT_TRUE(picture_exceeds_box({10, 301}, {400, 300}));
}

TEST(SizingRule, unusable_boxes_and_extreme_pictures) {
  EXPECT_FALSE(box_is_usable({0, 768}));
  EXPECT_FALSE(box_is_usable({1024, -5}));
  EXPECT_TRUE(box_is_usable({1, 1}));
  // A long, thin strip keeps at least one pixel of height.
  EXPECT_EQ(scaled_size({32000, 3}, {400, 300}, "max"), (PictureSize{400, 1}));
  // A box of any size computes without overflowing; the result is beyond any picture.
  const PictureSize huge = scaled_size({1000, 500}, {INT64_MAX, 300}, "noaspect");
  EXPECT_GT(huge.width, IMAGE_MAX_DIMENSION);
}

TEST(PictureKinds, extensions_match_after_lower_casing) {
  EXPECT_EQ(picture_kind_of("C:\\Bilder\\Foto.JPG"), PictureKind::Jpeg);
  EXPECT_EQ(picture_kind_of("b.Jpeg"), PictureKind::Jpeg);
  EXPECT_EQ(picture_kind_of("C:\\x.y\\a.PnG"), PictureKind::Png);
  EXPECT_EQ(picture_kind_of("c.gif"), PictureKind::NotAPicture);
  EXPECT_EQ(picture_kind_of("d.bmp"), PictureKind::NotAPicture);
  EXPECT_EQ(picture_kind_of("C:\\jpg\\noextension"), PictureKind::NotAPicture);
}

class WebNames : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { regex_join_runtime(); }
  void SetUp() override {
    RuntimeTest::SetUp();
    ASSERT_TRUE(web_name_prepare());
  }
};

TEST_F(WebNames, file_names_keep_letters_digits_and_periods) {
  EXPECT_EQ(copy_file_name("C:\\Fotos\\Urlaub 2013 (1).jpg", true), "Urlaub_2013__1_.jpg");
  EXPECT_EQ(copy_file_name("D:\\x-y_\xe4.png", true), "x_y__.png");
  EXPECT_EQ(copy_file_name("C:\\Fotos\\Urlaub 2013 (1).jpg", false), "Urlaub 2013 (1).jpg");
  // Directories written with slashes stay out of the name.
  EXPECT_EQ(copy_file_name("C:/Meine Fotos/a b.jpg", true), "a_b.jpg");
  EXPECT_EQ(copy_file_name(ansi_from_utf8("C:\\Blüten im März.png"), true), "Bl_ten_im_M_rz.png");
  if (ansi_is_utf8()) {
    // One underscore a character, however many bytes it takes.
    EXPECT_EQ(copy_file_name("C:\\Łódź.jpg", true), "__d_.jpg");
    EXPECT_EQ(copy_file_name("C:\\写真.jpg", true), "__.jpg");
    EXPECT_EQ(copy_file_name("C:\\Urlaub 😀.png", true), "Urlaub__.png");
    // A name that is not UTF-8 still loses every byte outside the set.
    EXPECT_EQ(copy_file_name("C:\\\xC4rger\xFF.jpg", true), "_rger_.jpg");
  }
}

TEST(JobWorkers, one_a_processor_while_memory_holds_the_largest_pictures) {
  const std::uint64_t plenty = std::uint64_t{24} << 30;
  EXPECT_EQ(job_worker_count(8, plenty, 100), 8);
  EXPECT_EQ(job_worker_count(8, plenty, 3), 3);  // no more than there are files
  EXPECT_EQ(job_worker_count(8, 2 * WORKER_MEMORY_PLAN + 1, 100), 2);
  EXPECT_EQ(job_worker_count(8, 0, 100), 1);
  EXPECT_EQ(job_worker_count(0, plenty, 0), 1);
}

TEST(JobNames, temporary_file_and_jhead_command_line) {
  EXPECT_EQ(temporary_name("C:\\a.jpg"), "C:\\a.jpg.tmp");
  EXPECT_EQ(jhead_parameters("C:\\Fotos\\a b.jpg", "C:\\Out\\a b.jpg.tmp"),
            "-te \"C:\\Fotos\\a b.jpg\" \"C:\\Out\\a b.jpg.tmp\"");
}

TEST(StatusText, twelve_of_thirty_two_after_fifteen_seconds) {
  const JobProgress progress = job_progress(12, 32, 15);
  EXPECT_EQ(progress.percent, 37);
  EXPECT_EQ(progress.status_text,
            "37 %\r12 von 32 Bildern verarbeitet\rVergangene Zeit: 00:00:15\r"
            "Verbleibende Zeit: ca. 00:00:25\r");
}

TEST(StatusText, one_file_the_last_file_and_a_day_that_wraps) {
  EXPECT_EQ(job_progress(1, 1, 0).status_text,
            "100 %\r1 von 1 Bildern verarbeitet\rVergangene Zeit: 00:00:00\r"
            "Verbleibende Zeit: ca. 00:00:00\r");
  EXPECT_EQ(job_progress(3, 4, 90000).status_text,
            "75 %\r3 von 4 Bildern verarbeitet\rVergangene Zeit: 01:00:00\r"
            "Verbleibende Zeit: ca. 08:20:00\r");
}

TEST(FailureRequester, begins_with_its_title_and_gives_each_picture_its_reason) {
  JobMessage one = write_failures_message({{"C:\\a.jpg", "Zugriff verweigert"}}, false);
  EXPECT_EQ(one.title, "Folgendes Bild konnte nicht geschrieben werden:");
  EXPECT_EQ(one.text, one.title + "\rC:\\a.jpg\r    Zugriff verweigert\r");
  EXPECT_EQ(load_failed_message({"C:\\b.png", ""}).text,
            "Folgende Datei konnte nicht geladen werden:\rC:\\b.png\r");
  EXPECT_EQ(side_too_large_reason({500, 800000}),
            ansi_from_utf8("zu groß: 500 × 800000 Pixel (höchstens 32767 je Seite)"));

  std::vector<PathFailure> many;
  for (int i = 1; i <= 13; ++i) many.push_back({"C:\\" + std::to_string(i) + ".png", ""});
  JobMessage list = write_failures_message(many, true);
  EXPECT_EQ(list.title, "Folgende Bilder konnten nicht geschrieben werden:");
  EXPECT_EQ(list.text,
            list.title +
                "\rC:\\1.png\rC:\\2.png\rC:\\3.png\rC:\\4.png\rC:\\5.png\rC:\\6.png\rC:\\7.png\r"
                "C:\\8.png\rC:\\9.png\r... und 4 weitere Bilder\r\r" +
                ansi_from_utf8("Breite und Höhe der neuen Bildgröße müssen größer als 0 sein.\r"));
  many.resize(FAILURE_LIST_LIMIT);
  EXPECT_EQ(write_failures_message(many, false).text.find("weitere"), std::string::npos);
}

}  // namespace
