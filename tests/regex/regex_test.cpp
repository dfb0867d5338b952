// Regular-expression objects with the application's web-name pattern.
#include "regex/regex.h"

#include <gtest/gtest.h>

#include "support/runtime_fixture.h"

namespace {

constexpr object_number REGEX_WEBNAME = 1001;
const char* const kWebNamePattern = "[^a-zA-Z0-9\\\\:.]";

class RegexTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { regex_join_runtime(); }
};

TEST_F(RegexTest, web_names_replace_everything_but_letters_digits_and_path_characters) {
  ASSERT_NE(regex_create(REGEX_WEBNAME, kWebNamePattern), 0u);
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "Urlaub 2013 (1).jpg", "_"), "Urlaub_2013__1_.jpg");
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "x-y_\xE4.png", "_"), "x_y__.png");
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "C:\\Bilder\\Sommer 2013\\a b.jpg", "_"),
            "C:\\Bilder\\Sommer_2013\\a_b.jpg");
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "plain.jpg", "_"), "plain.jpg");
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "", "_"), "");
}

TEST_F(RegexTest, replacement_longer_than_the_match_grows_the_result) {
  ASSERT_NE(regex_create(REGEX_WEBNAME, kWebNamePattern), 0u);
  std::string subject(3000, '#');
  std::string result = regex_replace(REGEX_WEBNAME, subject, "<>");
  ASSERT_EQ(result.size(), 6000u);
  for (std::size_t i = 0; i < result.size(); i += 2) ASSERT_EQ(result.substr(i, 2), "<>");
  std::string mixed =
      regex_replace(REGEX_WEBNAME, std::string(5000, 'a') + " " + std::string(5000, 'b'), "__");
  EXPECT_EQ(mixed.size(), 10002u);
  EXPECT_EQ(mixed.substr(4998, 6), "aa__bb");
}

TEST_F(RegexTest, replacement_is_taken_literally) {
  ASSERT_NE(regex_create(1, "(o)"), 0u);
  EXPECT_EQ(regex_replace(1, "foo", "$1\\0&"), "f$1\\0&$1\\0&");
}

TEST_F(RegexTest, empty_matches_advance_and_keep_every_character) {
  ASSERT_NE(regex_create(2, "x*"), 0u);
  EXPECT_EQ(regex_replace(2, "abc", "-"), "-a-b-c-");
  EXPECT_EQ(regex_replace(2, "xxa", "-"), "--a-");
  EXPECT_EQ(regex_replace(2, "", "-"), "-");
  ASSERT_NE(regex_create(3, "$"), 0u);
  EXPECT_EQ(regex_replace(3, "end", "!"), "end!");
  ASSERT_NE(regex_create(4, "\\b"), 0u);
  EXPECT_EQ(regex_replace(4, "ab cd", "|"), "|ab| |cd|");
}

TEST_F(RegexTest, failed_compile_keeps_the_message_and_the_number_holds_nothing) {
  EXPECT_EQ(regex_create(5, "(unclosed"), 0u);
  EXPECT_FALSE(regex_last_error().empty());
  EXPECT_EQ(regex_replace(5, "text", "_"), "");
  EXPECT_EQ(regex_create(6, nullptr), 0u);
  EXPECT_EQ(regex_replace(77, "never created", "_"), "");
  ASSERT_NE(regex_create(5, "t"), 0u);
  EXPECT_TRUE(regex_last_error().empty());
  EXPECT_EQ(regex_replace(5, "text", "_"), "_ex_");
}

TEST_F(RegexTest, creating_a_number_again_replaces_its_pattern) {
  ASSERT_NE(regex_create(REGEX_WEBNAME, "a"), 0u);
  ASSERT_NE(regex_create(REGEX_WEBNAME, "b"), 0u);
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "aabb", "_"), "aa__");
  std::uintptr_t handle = regex_create(ANY_OBJECT, "c");
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(regex_replace(static_cast<object_number>(handle), "ccd", "_"), "__d");
  regex_free(ANY_OBJECT);
  EXPECT_EQ(regex_replace(REGEX_WEBNAME, "aabb", "_"), "");
  EXPECT_EQ(regex_replace(static_cast<object_number>(handle), "ccd", "_"), "");
}

TEST_F(RegexTest, pcre_option_bits_mean_what_they_mean_in_pcre) {
  ASSERT_NE(regex_create(7, "abc", PCRE_CASELESS), 0u);
  EXPECT_EQ(regex_replace(7, "xABCx", "-"), "x-x");
  ASSERT_NE(regex_create(7, "a b c", PCRE_EXTENDED), 0u);  // blanks ignored, case kept
  EXPECT_EQ(regex_replace(7, "abc ABC", "-"), "- ABC");
  ASSERT_NE(regex_create(7, "^b", PCRE_MULTILINE), 0u);
  EXPECT_EQ(regex_replace(7, "ab\nb", "-"), "ab\n-");
  ASSERT_NE(regex_create(7, "a.c", PCRE_DOTALL), 0u);
  EXPECT_EQ(regex_replace(7, "a\nc", "-"), "-");
  ASSERT_NE(regex_create(7, "a+", PCRE_UNGREEDY), 0u);
  EXPECT_EQ(regex_replace(7, "aaa", "-"), "---");
  ASSERT_NE(regex_create(7, "^b", PCRE_MULTILINE | PCRE_NEWLINE_CR), 0u);
  EXPECT_EQ(regex_replace(7, "a\rb\nb", "-"), "a\r-\nb");
}

TEST_F(RegexTest, options_pcre2_cannot_honour_are_refused) {
  for (std::uint32_t refused :
       {0x00000080u /* NOTBOL: matching only */, 0x00000400u /* NOTEMPTY */, PCRE_UTF8,
        0x40000000u /* no such bit */, 0x00700000u /* no such newline */,
        PCRE_BSR_ANYCRLF | PCRE_BSR_UNICODE}) {
    EXPECT_EQ(regex_create(8, "a", refused), 0u) << std::hex << refused;
    EXPECT_FALSE(regex_last_error().empty());
    EXPECT_EQ(regex_replace(8, "a", "-"), "");
  }
}

}  // namespace

namespace {

TEST(RegexLifetime, expressions_end_with_the_runtime_and_are_not_touched_afterwards) {
  regex_join_runtime();
  ASSERT_TRUE(runtime_start());
  ASSERT_NE(regex_create(1001, "a"), 0u);
  runtime_stop();
  EXPECT_EQ(regex_replace(1001, "aaa", "_"), "");  // no object, and no freed memory read
  EXPECT_EQ(regex_last_error(), "");
  ASSERT_TRUE(runtime_start());
  EXPECT_EQ(regex_replace(1001, "aaa", "_"), "");
  ASSERT_NE(regex_create(1001, "a"), 0u);
  EXPECT_EQ(regex_replace(1001, "aaa", "_"), "___");
  runtime_stop();
}

}  // namespace
