// The rules of drag and drop that need no platform.
#include "gui/dnd/drop_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kCopy = DROP_EFFECT_COPY, kMove = DROP_EFFECT_MOVE, kLink = DROP_EFFECT_LINK;
constexpr std::int32_t kShift = DROP_KEY_SHIFT, kCtrl = DROP_KEY_CONTROL, kAlt = DROP_KEY_ALT;
constexpr std::int32_t kLeftButton = 1;  // other key-state bits do not count

TEST(DropRules, the_action_follows_the_keys_within_what_both_sides_allow) {
  struct Case {
    std::int32_t offered, allowed, keys, action;
  };
  const Case cases[] = {
      {kCopy | kMove, kCopy | kMove, kLeftButton, kCopy},
      {kCopy | kMove, kCopy | kMove, kShift | kLeftButton, kMove},
      {kCopy | kMove, kCopy, kShift, kCopy},  // move is not allowed
      {kCopy, kCopy | kMove, kShift, kCopy},  // nor offered
      {kMove, kCopy | kMove, 0, kMove},       // no copy possible
      {kCopy | kMove, kCopy | kMove, kCtrl | kShift, kCopy},
      {kCopy | kLink, kCopy | kLink, kCtrl | kShift, kLink},
      {kCopy | kLink, kCopy | kLink, kAlt, kLink},
      {kCopy | kLink, kCopy | kLink, kAlt | kShift, kCopy},
      {kLink, kLink, 0, kLink},
      {kCopy, kMove, 0, 0},
      {0, kCopy | kMove | kLink, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(drop_choose_action(c.offered, c.allowed, c.keys), c.action)
        << "offered " << c.offered << " allowed " << c.allowed << " keys " << c.keys;
}

TEST(DropRules, formats_keep_their_place_and_new_ones_go_in_front) {
  DropFormatList list;
  list.enable(15, kCopy);
  list.enable(1, kCopy);
  list.enable(15, kMove);  // only its actions change
  ASSERT_EQ(list.entries().size(), 2u);
  EXPECT_EQ(list.entries()[0].key, 1);
  EXPECT_EQ(list.entries()[1].key, 15);
  EXPECT_EQ(list.entries()[1].allowed_actions, kMove);
  EXPECT_EQ(list.first_offered(15, kCopy), nullptr);
  EXPECT_EQ(list.first_offered(15, kCopy | kMove), &list.entries()[1]);
  EXPECT_FALSE(list.withdraw(2));
  EXPECT_TRUE(list.withdraw(1));
  EXPECT_TRUE(list.withdraw(15));
  EXPECT_TRUE(list.empty());
}

TEST(DropRules, dropped_paths_are_joined_by_line_feeds) {
  EXPECT_EQ(drop_files_join({}), "");
  EXPECT_EQ(drop_files_join({"C:\\a.jpg"}), "C:\\a.jpg");
  EXPECT_EQ(drop_files_join({"C:\\a.jpg", "C:\\b c.png"}), "C:\\a.jpg\nC:\\b c.png");
}

}  // namespace
