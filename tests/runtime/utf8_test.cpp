// Latin-1 and UTF-8.
#include "runtime/utf8.h"

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/files_testing.h"
#include "runtime/strings.h"

namespace {

TEST(Utf8, latin1_becomes_one_or_two_bytes) {
  Utf8Result r = text_to_utf8(
      "a\xE4"
      "b",
      100);
  EXPECT_EQ(r.bytes,
            "a\xC3\xA4"
            "b");
  EXPECT_EQ(r.consumed, 3u);
  EXPECT_EQ(text_to_utf8("\xFF\x80", 100).bytes, "\xC3\xBF\xC2\x80");
}

TEST(Utf8, capacity_never_splits_a_sequence) {
  Utf8Result r = text_to_utf8(
      "a\xE4"
      "b",
      2);
  EXPECT_EQ(r.bytes, "a");
  EXPECT_EQ(r.consumed, 1u);
  r = text_to_utf8(
      "a\xE4"
      "b",
      3);
  EXPECT_EQ(r.bytes, "a\xC3\xA4");
  EXPECT_EQ(r.consumed, 2u);
  EXPECT_EQ(text_to_utf8("abc", 0).consumed, 0u);
}

TEST(Utf8, back_to_latin1_with_question_marks_for_what_does_not_fit) {
  EXPECT_EQ(text_from_utf8("a\xC3\xA4"
                           "b"),
            "a\xE4"
            "b");
  EXPECT_EQ(text_from_utf8("\xC4\x80"), "?");      // U+0100
  EXPECT_EQ(text_from_utf8("\xE2\x82\xAC"), "?");  // euro sign, three bytes
  EXPECT_EQ(text_from_utf8("\xF0\x9F\x98\x80"
                           "x"),
            "?x");  // four bytes
  EXPECT_EQ(text_from_utf8("\xC3"
                           "a"),
            "?a");  // malformed, resumes at a
  EXPECT_EQ(text_from_utf8("\xE2\x82"
                           "z"),
            "?z");
  EXPECT_EQ(text_from_utf8("\x80\xBF"
                           "q"),
            "q");                          // stray continuation bytes dropped
  EXPECT_EQ(text_from_utf8("\xC3"), "?");  // cut at the end
  for (int c = 0; c < 256; ++c) {
    std::string latin1(1, static_cast<char>(c));
    EXPECT_EQ(text_from_utf8(text_to_utf8(latin1, 4).bytes), latin1) << c;
  }
}

TEST(Utf8, paths_are_as_long_as_the_platform_counts_them) {
  EXPECT_EQ(utf8_utf16_length("Łódź.jpg"), 8u);
  EXPECT_EQ(utf8_utf16_length("😀"), 2u);              // beyond U+FFFF: two units
  EXPECT_EQ(utf8_utf16_length("\xC3(\xE2\x82"), 4u);  // one for every byte of a broken sequence
  EXPECT_EQ(utf8_utf16_length("\xC0\x80\xED\xA0\x80"), 5u);  // overlong and surrogate
  // 259 characters fit the platform's paths without long paths, in however
  // many bytes.
  if (!ansi_is_utf8()) return;
  std::string path = "C:\\";
  while (utf8_utf16_length(path) < PATH_BUFFER_LENGTH - 1) path += "写";
  EXPECT_EQ(path.size(), 3u + 256 * 3);
  long_paths_allowed_for_testing(0);
  EXPECT_TRUE(path_fits_platform(path));
  EXPECT_FALSE(path_fits_platform(path + "x"));
  long_paths_allowed_for_testing(-1);
}

}  // namespace
