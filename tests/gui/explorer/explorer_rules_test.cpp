// The explorer list's portable rules: size texts, attribute letters, the
// pattern split, locations from texts, navigation paths, the type cache and
// the sort order.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/explorer/explorer_rules.h"
#include "gui/explorer/explorer_type_cache.h"

namespace {

TEST(ExplorerRulesTest, size_text_rounds_up_to_whole_kilobytes_below_one_gibibyte) {
  EXPECT_EQ(explorer_size_text(0), "0 KB");
  EXPECT_EQ(explorer_size_text(1), "1 KB");
  EXPECT_EQ(explorer_size_text(1024), "1 KB");
  EXPECT_EQ(explorer_size_text(1025), "2 KB");
  EXPECT_EQ(explorer_size_text(0x3FFFFFFF), "1048576 KB");
  EXPECT_EQ(explorer_size_text(0x40000001), "1048576 KB");  // no longer rounded up
  EXPECT_EQ(explorer_size_text(0xFFFFFFFFull), "4194303 KB");
  EXPECT_EQ(explorer_size_text(0x100000000ull), "4194304 KB");
  EXPECT_EQ(explorer_size_text(0x10000000000ull + 1023), "1073741824 KB");
  EXPECT_EQ(explorer_size_key("2 KB"), 2);
  EXPECT_EQ(explorer_size_key("4194304 KB"), 4194304);
  EXPECT_EQ(explorer_size_key(""), -1);  // directories sort as the largest
}

TEST(ExplorerRulesTest, attribute_letters_follow_their_fixed_order) {
  EXPECT_EQ(explorer_attribute_letters(0), "");
  EXPECT_EQ(explorer_attribute_letters(0x20 | 0x1), "RA");
  EXPECT_EQ(explorer_attribute_letters(0xFFFFFFFF), "RHSDANTCOE");
  EXPECT_EQ(explorer_attribute_letters(0x4000 | 0x10 | 0x8 | 0x40), "DE");  // no letters for others
}

TEST(ExplorerRulesTest, patterns_split_at_semicolons_and_texts_name_directory_and_patterns) {
  EXPECT_EQ(explorer_split_patterns("*.jpg;*.jpeg;*.png"),
            (std::vector<std::string>{"*.jpg", "*.jpeg", "*.png"}));
  EXPECT_EQ(explorer_split_patterns(";a*;;*.b;"), (std::vector<std::string>{"a*", "*.b"}));
  EXPECT_TRUE(explorer_split_patterns("").empty());

  ExplorerLocation l = explorer_parse_location("c:\\Bilder\\*.jpg;*.png");
  EXPECT_TRUE(l.directory_changes);
  EXPECT_EQ(l.directory, "C:\\Bilder\\");
  EXPECT_TRUE(l.patterns_change);
  EXPECT_EQ(l.patterns, "*.jpg;*.png");
  l = explorer_parse_location("d:\\Daten\\");  // patterns stay
  EXPECT_EQ(l.directory, "D:\\Daten\\");
  EXPECT_FALSE(l.patterns_change);
  l = explorer_parse_location("*.txt");  // directory stays
  EXPECT_FALSE(l.directory_changes);
  EXPECT_EQ(l.patterns, "*.txt");
  l = explorer_parse_location("\\*.gif");  // a lone leading backslash is dropped
  EXPECT_FALSE(l.directory_changes);
  EXPECT_EQ(l.patterns, "*.gif");
  l = explorer_parse_location("");
  EXPECT_TRUE(l.directory_changes);
  EXPECT_EQ(l.directory, "");  // the root view
  EXPECT_FALSE(l.patterns_change);
}

TEST(ExplorerRulesTest, navigation_paths_and_drives) {
  EXPECT_TRUE(explorer_is_drive_root("C:\\"));
  EXPECT_FALSE(explorer_is_drive_root("C:\\Windows\\"));
  EXPECT_EQ(explorer_parent_directory("C:\\a\\b\\"), "C:\\a\\");
  EXPECT_EQ(explorer_parent_directory("C:\\a\\"), "C:\\");
  EXPECT_EQ(explorer_drive_index("Z:\\tmp\\"), 25);
  EXPECT_EQ(explorer_drive_index("c:\\"), 2);
  EXPECT_EQ(explorer_drive_index("\\\\server\\share\\"), -1);
  EXPECT_EQ(explorer_drive_root(0), "A:\\");
}

TEST(ExplorerRulesTest, type_cache_keys_entries_and_growth) {
  std::string key;
  ASSERT_TRUE(explorer_type_key("C:\\x.y\\Urlaub.jpeg", &key));
  EXPECT_EQ(key, "JPEG");
  EXPECT_FALSE(
      explorer_type_key("C:\\x.y\\noextension", &key));  // the folder's period is no extension
  EXPECT_FALSE(explorer_type_key("archive.tar.bz2x1", &key));
  for (const char* own_icon : {"setup.exe", "a.Ico", "link.lnk", "b.ICL"})
    EXPECT_FALSE(explorer_type_key(own_icon, &key)) << own_icon;

  ExplorerTypeCache cache;
  EXPECT_EQ(cache.entry_capacity(), 100u);
  EXPECT_EQ(cache.pool_capacity(), 500u);
  int icon = 0;
  std::string name;
  EXPECT_FALSE(cache.find("JPG", &icon, &name));
  cache.add("JPG", "JPEG-Bild", 7);
  cache.add("XYZ", "", 3);
  ASSERT_TRUE(cache.find("JPG", &icon, &name));
  EXPECT_EQ(icon, 7);
  EXPECT_EQ(name, "JPEG-Bild");
  ASSERT_TRUE(cache.find("XYZ", &icon, &name));
  EXPECT_EQ(name, "");
  EXPECT_FALSE(cache.find("JP", &icon, &name));  // the whole key must match
  for (int i = 0; i < 150; ++i) cache.add(std::to_string(i), std::string(10, 'n'), i);
  EXPECT_EQ(cache.entry_capacity(), 200u);
  EXPECT_EQ(cache.pool_capacity(), 2000u);  // 1 + 10 + 150 * 11 bytes, in steps of 500
  ASSERT_TRUE(cache.find("149", &icon, &name));
  EXPECT_EQ(icon, 149);
}

// An item as the tests name it.
struct NamedItem {
  std::int64_t kind;
  std::string name;
  std::uint64_t number;  // size or time
};

// Sorts items as the list does, by the order keys of their names, and
// gives their names back.
std::vector<std::string> sorted_names(const std::vector<NamedItem>& items, int column,
                                      int direction, bool root_view = false) {
  std::vector<ExplorerSortKey> keys;
  for (const NamedItem& item : items)
    keys.push_back({item.kind, explorer_order_key(item.name), item.number});
  std::vector<std::size_t> order(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return explorer_compare(keys[a], keys[b], column, direction, root_view) < 0;
  });
  std::vector<std::string> names;
  for (std::size_t i : order) names.push_back(items[i].name);
  return names;
}

TEST(ExplorerRulesTest, parent_entries_lead_in_every_column_and_direction) {
  const std::vector<NamedItem> items = {
      {ITEM_FILE, "b.jpg", 5},
      {ITEM_DIRECTORY, "Zeta", static_cast<std::uint64_t>(-1)},
      {ITEM_FILE, "A.png", 9},
      {ITEM_PARENT_DIRECTORY, "..", 0},
      {ITEM_DIRECTORY, "alpha", static_cast<std::uint64_t>(-1)},
  };
  EXPECT_EQ(sorted_names(items, COLUMN_NAME, 1),
            (std::vector<std::string>{"..", "alpha", "Zeta", "A.png", "b.jpg"}));
  EXPECT_EQ(sorted_names(items, COLUMN_NAME, -1),
            (std::vector<std::string>{"..", "b.jpg", "A.png", "Zeta", "alpha"}));
  // Directories have no size and sort as the largest.
  EXPECT_EQ(sorted_names(items, COLUMN_SIZE, 1),
            (std::vector<std::string>{"..", "b.jpg", "A.png", "Zeta", "alpha"}));
  EXPECT_EQ(sorted_names(items, COLUMN_SIZE, -1)[0], "..");
  // Dates: files by time, directories before files ascending.
  EXPECT_EQ(sorted_names(items, COLUMN_MODIFIED, 1),
            (std::vector<std::string>{"..", "Zeta", "alpha", "b.jpg", "A.png"}));
  EXPECT_EQ(sorted_names(items, COLUMN_MODIFIED, -1),
            (std::vector<std::string>{"..", "A.png", "b.jpg", "Zeta", "alpha"}));
  const ExplorerSortKey parent{ITEM_PARENT_ROOT, "", 0};
  EXPECT_EQ(explorer_compare(parent, parent, COLUMN_NAME, -1, false), 0);
}

TEST(ExplorerRulesTest, root_view_names_sort_by_drive_then_documents) {
  const std::vector<NamedItem> items = {
      {ITEM_DOCUMENTS, "a documents", 0}, {25, "z drive", 0}, {2, "c drive", 0}};
  EXPECT_EQ(sorted_names(items, COLUMN_NAME, 1, true),
            (std::vector<std::string>{"c drive", "z drive", "a documents"}));
  EXPECT_EQ(sorted_names(items, COLUMN_NAME, -1, true),
            (std::vector<std::string>{"a documents", "z drive", "c drive"}));
  const ExplorerSortKey drive{25, "", 7}, documents{ITEM_DOCUMENTS, "", 3};
  EXPECT_EQ(explorer_compare(drive, documents, COLUMN_CREATED, 1, true), 0);  // drives: equal
  EXPECT_EQ(explorer_column_kind("ZQ_Explorer_Column_Accessed"), COLUMN_ACCESSED);
  EXPECT_EQ(explorer_column_kind("Bemerkung"), COLUMN_TEXT);
  EXPECT_TRUE(explorer_column_sorts(COLUMN_TEXT));
  EXPECT_FALSE(explorer_column_sorts(1));
  EXPECT_FALSE(explorer_column_sorts(9));
}

}  // namespace
