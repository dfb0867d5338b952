// String operations, integer conversions and path parts.
#include "runtime/strings.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

namespace {

TEST(Strings, length_left_and_equality) {
  EXPECT_EQ(string_length(""), 0);
  EXPECT_EQ(string_length(text_of(nullptr)), 0);
  EXPECT_EQ(string_length("abc"), 3);
  EXPECT_EQ(string_left("abc", 5), "abc");
  EXPECT_EQ(string_left("abc", 2), "ab");
  EXPECT_EQ(string_left("abc", 0), "");
  EXPECT_EQ(string_left("abc", -1), "");
  EXPECT_EQ(string_equal("Abc", "Abc"), 1);
  EXPECT_EQ(string_equal("Abc", "abc"), 0);
  EXPECT_EQ(string_equal("", text_of(nullptr)), 1);
}

TEST(Strings, lower_case_takes_whole_characters_of_the_ansi_code_page) {
  EXPECT_EQ(string_lower("JPG"), "jpg");
  EXPECT_EQ(string_lower("a1-_"), "a1-_");
  EXPECT_EQ(string_lower(ansi_from_utf8("ÄBÖÜÉ")), ansi_from_utf8("äböüé"));
  EXPECT_EQ(string_lower(ansi_from_utf8("×ß")), ansi_from_utf8("×ß"));  // no upper case of their own
  if (ansi_is_utf8()) {
    EXPECT_EQ(string_lower("ŁÓDŹ.JPG"), "łódź.jpg");
    EXPECT_EQ(string_lower("ΕΛΛΆΔΑ 写真 😀"), "ελλάδα 写真 😀");
    // A byte that starts no character is kept, and so is its neighbour.
    EXPECT_EQ(string_lower("A\xC4" "B\xFF"), "a\xC4" "b\xFF");
  }
}

TEST(Strings, count_is_non_overlapping_from_the_left) {
  EXPECT_EQ(string_count("a\nb\nc", "\n"), 2);
  EXPECT_EQ(string_count("a\nb\nc", ""), 0);
  EXPECT_EQ(string_count("", "a"), 0);
  EXPECT_EQ(string_count("aaaa", "aa"), 2);
  EXPECT_EQ(string_count("aaaaa", "aa"), 2);
  EXPECT_EQ(string_count("abAB", "ab"), 1);
}

TEST(Strings, fields_between_separators) {
  EXPECT_EQ(string_field("a\nb\nc", 1, "\n"), "a");
  EXPECT_EQ(string_field("a\nb\nc", 3, "\n"), "c");
  EXPECT_EQ(string_field("a\nb\nc", 4, "\n"), "");
  EXPECT_EQ(string_field("a\n\nb", 2, "\n"), "");
  EXPECT_EQ(string_field("a\n\nb", 3, "\n"), "b");
  EXPECT_EQ(string_field("a\nb", 0, "\n"), "");
  EXPECT_EQ(string_field("a\nb", -3, "\n"), "");
  EXPECT_EQ(string_field("one::two::three", 2, "::"), "two");
  EXPECT_EQ(string_field("one:two", 1, "::"), "one:two");
  EXPECT_EQ(string_field("whole", 1, ""), "whole");
  EXPECT_EQ(string_field("whole", 2, ""), "");
  EXPECT_EQ(string_field("ends\n", 2, "\n"), "");
}

TEST(Strings, integers_to_text) {
  EXPECT_EQ(int_to_string(0), "0");
  EXPECT_EQ(int_to_string(42), "42");
  EXPECT_EQ(int_to_string(-7), "-7");
  EXPECT_EQ(int_to_string(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
  EXPECT_EQ(int_to_string(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(Strings, text_to_integers) {
  EXPECT_EQ(string_to_int("  -$ff"), -255);
  EXPECT_EQ(string_to_int("\t$FF"), 255);
  EXPECT_EQ(string_to_int("%101"), 5);
  EXPECT_EQ(string_to_int("+7"), 7);
  EXPECT_EQ(string_to_int("0x10"), 0);
  EXPECT_EQ(string_to_int("12abc"), 12);
  EXPECT_EQ(string_to_int("abc"), 0);
  EXPECT_EQ(string_to_int(""), 0);
  EXPECT_EQ(string_to_int(text_of(nullptr)), 0);
  EXPECT_EQ(string_to_int("\n5"), 0);  // only blanks and tabs are skipped
  EXPECT_EQ(string_to_int("- 5"), 0);
  EXPECT_EQ(string_to_int("%102"), 2);
  EXPECT_EQ(string_to_int("12\xB2"), 12);  // a high byte ends the digits
  EXPECT_EQ(string_to_int("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(string_to_int("9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(string_to_int("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(string_to_int("18446744073709551617"), 1);  // wraps around
  EXPECT_EQ(string_to_int("$FFFFFFFFFFFFFFFF"), -1);
}

TEST(Strings, copy_from_memory) {
  EXPECT_EQ(string_from_memory(nullptr), "");
  const char text[] = "Urlaub";
  std::string copy = string_from_memory(text);
  EXPECT_EQ(copy, "Urlaub");
  EXPECT_NE(copy.data(), text);
}

TEST(Strings, path_parts) {
  EXPECT_EQ(path_part("C:\\Pics\\a.jpg"), "C:\\Pics\\");
  EXPECT_EQ(file_part("C:\\Pics\\a.jpg"), "a.jpg");
  EXPECT_EQ(extension_part("C:\\Pics\\a.jpg"), "jpg");
  EXPECT_EQ(path_part("a.jpg"), "");
  EXPECT_EQ(file_part("a.jpg"), "a.jpg");
  EXPECT_EQ(file_part("\"C:\\Pics\\a b.jpg\""), "a b.jpg");
  EXPECT_EQ(path_part("\"C:\\Pics\\a b.jpg\""), "C:\\Pics\\");
  EXPECT_EQ(path_part("C:/x/y|C:\\other\\z"), "C:/x/");
  EXPECT_EQ(path_part("dir/sub\\file"), "dir/sub\\");
  EXPECT_EQ(file_part("C:\\Pics\\"), "");
  EXPECT_EQ(extension_part("a.tar.gz"), "gz");
  EXPECT_EQ(extension_part("dir.x\\file"), "");
  EXPECT_EQ(extension_part("file."), "");
  EXPECT_EQ(extension_part(".hidden"), "hidden");
  EXPECT_EQ(extension_part("\"C:\\a.PNG\""), "PNG");
  EXPECT_EQ(extension_part("noext"), "");
}

TEST(Strings, threads_format_independently) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 20000; ++i) {
        std::string text = int_to_string(t * 100000 + i);
        if (string_to_int(text) != t * 100000 + i || string_lower("ABC" + text) != "abc" + text)
          ++failures[t];
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, (std::vector<int>{0, 0, 0, 0}));
}

}  // namespace
