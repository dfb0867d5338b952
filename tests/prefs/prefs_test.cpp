// Preference files byte for byte: the worked examples, the byte-order mark,
// groups, duplicate keys and odd files.
#include "prefs/prefs.h"
#include "prefs/prefs_testing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "prefs_fixture.h"

namespace {

TEST_F(PrefsTest, created_file_with_a_b_and_c_is_three_lines) {
  std::string path = dir.file("new.ini");
  ASSERT_NE(prefs_create(path), 0u);
  prefs_write_int("A", 1);
  prefs_write_string("B", "x");
  EXPECT_EQ(prefs_write_comment("c"), 1);
  prefs_close();
  EXPECT_EQ(read_file(path), "A = 1\r\nB = x\r\n; c\r\n");
}

TEST_F(PrefsTest, compact_and_group_spacing_flags) {
  std::string path = write_file("groups.ini", "k=v\n[one]\na=1\n[two]\n");
  ASSERT_NE(prefs_open(path, PREFS_COMPACT | PREFS_GROUP_SPACING), 0u);
  prefs_write_int("n", -3);
  prefs_close();
  EXPECT_EQ(read_file(path), "k=v\r\nn=-3\r\n[one]\r\na=1\r\n\r\n[two]\r\n");
}

TEST_F(PrefsTest, blanks_around_keys_and_values) {
  std::string path = write_file("p.ini", "  NewImageWidth=800  \r\nname =  two words\t\n");
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("NewImageWidth", 5), 800);
  EXPECT_EQ(prefs_read_string("NewImageWidth", ""), "800");
  EXPECT_EQ(prefs_read_string("name", ""), "two words");
  EXPECT_EQ(prefs_read_int("missing", 77), 77);
  EXPECT_EQ(prefs_read_string("missing", "def"), "def");
}

TEST_F(PrefsTest, keys_match_without_letter_case_and_the_first_wins) {
  std::string path = write_file("case.ini", "newimagewidth = 640\nNEWIMAGEWIDTH = 1\n");
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("NewImageWidth", 0), 640);
  prefs_write_int("NEWIMAGEWIDTH", 1024);
  prefs_close();
  EXPECT_EQ(read_file(path), "NEWIMAGEWIDTH = 1024\r\nNEWIMAGEWIDTH = 1\r\n");
}

TEST_F(PrefsTest, semicolons_values_without_digits_and_comments) {
  std::string path =
      write_file("c.ini", "; a comment\n;tight\nQuality = ;7\nText = \"quoted\" ; kept\n");
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_string("Quality", ""), ";7");
  EXPECT_EQ(prefs_read_int("Quality", 9), 0);
  EXPECT_EQ(prefs_read_string("Text", ""), "\"quoted\" ; kept");
  const PrefsLines& lines = prefs_state().lines;
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines.front().tag, PrefsTag::Comment);
  EXPECT_EQ(lines.front().text, "a comment");
  EXPECT_EQ(std::next(lines.begin())->text, "tight");
}

TEST_F(PrefsTest, key_behind_a_group_header_is_not_found_and_a_write_goes_ahead_of_it) {
  std::string path = write_file("g.ini", "Top = 1\n[Section]\nHidden = 5\n");
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("Hidden", -1), -1);
  prefs_write_int("Hidden", 6);
  prefs_close();
  EXPECT_EQ(read_file(path), "Top = 1\r\nHidden = 6\r\n[Section]\r\nHidden = 5\r\n");
  std::string header_first = write_file("h.ini", "[First]\nx = 1\n");
  ASSERT_NE(prefs_open(header_first), 0u);
  prefs_write_string("y", "2");
  prefs_close();
  EXPECT_EQ(read_file(header_first), "y = 2\r\n[First]\r\nx = 1\r\n");
}

TEST_F(PrefsTest, byte_order_mark_file_keeps_latin1_inside_and_utf8_outside) {
  std::string path = write_file("bom.ini", "\xEF\xBB\xBFName = M\xC3\xBCller\n");
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_state().code_page, PREFS_CODE_PAGE_UTF8);
  EXPECT_EQ(prefs_read_string("Name", ""), "M\xFCller");
  prefs_write_string("Stadt",
                     "K\xE4"
                     "ln");
  prefs_close();
  EXPECT_EQ(read_file(path), "\xEF\xBB\xBF\r\nName = M\xC3\xBCller\r\nStadt = K\xC3\xA4ln\r\n");
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_string("Stadt", ""), "K\xE4ln");
  EXPECT_EQ(prefs_read_string("stadt", ""), "K\xE4ln");
}

TEST_F(PrefsTest, comments_follow_the_keys_written_before_them) {
  std::string path = dir.file("order.ini");
  ASSERT_NE(prefs_create(path), 0u);
  EXPECT_EQ(prefs_write_comment("head"), 1);
  prefs_write_int("one", 1);
  prefs_write_comment("after one");
  prefs_write_comment("and again");
  prefs_write_int("two", 2);
  prefs_write_int("one", 11);  // an existing key keeps its place
  prefs_write_comment("after one again");
  prefs_close();
  EXPECT_EQ(read_file(path),
            "; head\r\none = 11\r\n; after one again\r\n; after one\r\n; and again\r\ntwo = 2\r\n");
}

TEST_F(PrefsTest, missing_file_gives_defaults_and_is_created_at_close) {
  std::string path = dir.file("later.ini");
  EXPECT_EQ(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("Width", 1024), 1024);
  prefs_write_int("Width", 800);
  EXPECT_EQ(prefs_read_int("Width", 1024), 800);
  prefs_close();
  EXPECT_EQ(read_file(path), "Width = 800\r\n");
}

TEST_F(PrefsTest, nothing_written_when_nothing_changed_or_nothing_in_hand) {
  std::string path = write_file("same.ini", "a=1\n\n\nb = 2");
  ASSERT_NE(prefs_open(path), 0u);
  prefs_read_int("a", 0);
  prefs_close();
  EXPECT_EQ(read_file(path), "a=1\n\n\nb = 2");
  prefs_write_int("x", 1);  // no file in hand
  EXPECT_EQ(prefs_write_comment("c"), 0);
  prefs_close();
  EXPECT_EQ(read_file(path), "a=1\n\n\nb = 2");
}

TEST_F(PrefsTest, opening_again_writes_the_modified_file_first) {
  std::string path = write_file("again.ini", "a = 1\n");
  ASSERT_NE(prefs_open(path), 0u);
  prefs_write_int("a", 2);
  ASSERT_NE(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("a", 0), 2);
  EXPECT_EQ(prefs_state().modified, 0);
}

TEST_F(PrefsTest, emptied_file_is_cut_to_nothing) {
  std::string path = write_file("cut.ini", std::string(500, 'x'));
  ASSERT_NE(prefs_create(path), 0u);
  prefs_write_comment("short");
  prefs_close();
  EXPECT_EQ(read_file(path), "; short\r\n");
}

TEST_F(PrefsTest, odd_files_are_read_as_far_as_they_make_sense) {
  // No line end at all.
  std::string bare = write_file("bare.ini", "Quality = 9");
  ASSERT_NE(prefs_open(bare), 0u);
  EXPECT_EQ(prefs_read_int("Quality", 0), 9);
  // Zero bytes end the text of their line.
  std::string zeros = write_file("zero.ini", std::string("A = 12\0junk\nB = 3\n\0\0", 21));
  ASSERT_NE(prefs_open(zeros), 0u);
  EXPECT_EQ(prefs_read_string("A", ""), "12");
  EXPECT_EQ(prefs_read_int("B", 0), 3);
  // A line of 100,000 characters.
  std::string long_value(100000, 'v');
  std::string huge = write_file("long.ini", "Long = " + long_value + "\r\nAfter = 1\r\n");
  ASSERT_NE(prefs_open(huge), 0u);
  EXPECT_EQ(prefs_read_string("Long", ""), long_value);
  EXPECT_EQ(prefs_read_int("After", 0), 1);
  // Only line ends, only blanks, a lone "=" and "[" without "]".
  std::string odd = write_file("odd.ini", "\r\r\n\n \t \n=\n[open\n");
  ASSERT_NE(prefs_open(odd), 0u);
  EXPECT_EQ(prefs_state().lines.size(), 2u);
  EXPECT_EQ(prefs_state().lines.back().text, "open");
}

TEST_F(PrefsTest, a_directory_as_preference_file_reads_defaults_and_writes_nothing) {
  std::string path = dir.file("folder.ini");
  std::filesystem::create_directory(path);
  EXPECT_EQ(prefs_open(path), 0u);
  EXPECT_EQ(prefs_read_int("Width", 7), 7);
  prefs_write_int("Width", 8);
  prefs_close();
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(PrefsText, parse_and_serialize_are_inverse_on_what_they_keep) {
  ParsedPrefs parsed = prefs_parse("  k  =  v  \n[g]x\n;  two\nbare\n");
  ASSERT_EQ(parsed.lines.size(), 4u);
  auto it = parsed.lines.begin();
  EXPECT_EQ(*it++, (PrefsLine{PrefsTag::Key, "k", "v  "}));
  EXPECT_EQ(*it++, (PrefsLine{PrefsTag::Group, "", "g"}));
  EXPECT_EQ(*it++, (PrefsLine{PrefsTag::Comment, "", " two"}));
  EXPECT_EQ(*it++, (PrefsLine{PrefsTag::Key, "bare", ""}));
  std::string text = prefs_serialize(parsed.lines, 0, 0);
  EXPECT_EQ(text, "k = v  \r\n[g]\r\n;  two\r\nbare = \r\n");
  EXPECT_EQ(prefs_parse(text).lines, parsed.lines);
}

TEST(PrefsText, a_first_key_that_looks_like_a_byte_order_mark_stays_a_key) {
  ParsedPrefs parsed = prefs_parse("\r\xEF\xBB\xBFName = x\r\n");
  ASSERT_EQ(parsed.code_page, 0);
  ASSERT_EQ(parsed.lines.size(), 1u);
  ParsedPrefs again = prefs_parse(prefs_serialize(parsed.lines, parsed.code_page, 0));
  EXPECT_EQ(again.code_page, 0);
  EXPECT_EQ(again.lines, parsed.lines);
}

}  // namespace
