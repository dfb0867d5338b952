// The explorer list's rules that need no window: its flags, column and item
// kinds, the texts it shows (sizes, attribute letters), how a text names a
// directory and a pattern list, the paths navigation leads to, and the order
// in which sorting puts items.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Creation flags of gadget_create_explorer_list.
constexpr std::uint32_t EXPLORER_NO_FILES = 0x1;
constexpr std::uint32_t EXPLORER_NO_PARENT = 0x2;
constexpr std::uint32_t EXPLORER_NO_DIRECTORIES = 0x4;
constexpr std::uint32_t EXPLORER_NO_NAVIGATION = 0x8;
constexpr std::uint32_t EXPLORER_NO_DRIVE_CHECK = 0x10;
constexpr std::uint32_t EXPLORER_NO_SORT_HEADER = 0x20;
constexpr std::uint32_t EXPLORER_SORTED = 0x40;
constexpr std::uint32_t EXPLORER_NO_DOCUMENTS = 0x200;
constexpr std::uint32_t EXPLORER_BORDERLESS = 0x100000;
constexpr std::uint32_t EXPLORER_MULTISELECT = 0x200000;
constexpr std::uint32_t EXPLORER_GRID_LINES = 0x400000;
constexpr std::uint32_t EXPLORER_HEADER_DRAG = 0x800000;
constexpr std::uint32_t EXPLORER_SHOW_SELECTION = 0x1000000;
constexpr std::uint32_t EXPLORER_FULL_ROW = 0x2000000;

// What a column shows, chosen by the title it was added with.
enum ExplorerColumnKind : std::uint8_t {
  COLUMN_TEXT = 0,  // any other title: the title itself, no content
  COLUMN_NAME = 2,
  COLUMN_SIZE = 3,
  COLUMN_TYPE = 4,
  COLUMN_ATTRIBUTES = 5,
  COLUMN_CREATED = 6,
  COLUMN_MODIFIED = 7,
  COLUMN_ACCESSED = 8,
};

// The title keys and default titles of the column kinds 2 to 8.
struct ExplorerColumnTitle {
  ExplorerColumnKind kind;
  const char* key;
  const char* default_title;
  int shell_string;  // number of the shell library's own title
};
extern const ExplorerColumnTitle EXPLORER_COLUMN_TITLES[7];

ExplorerColumnKind explorer_column_kind(std::string_view title);
bool explorer_is_date_column(int kind);

// Item kinds (each item's parameter). 0-31 are drives by index (0 = A).
constexpr std::int64_t ITEM_PARENT_ROOT = 250;       // ".." to the root view
constexpr std::int64_t ITEM_PARENT_DIRECTORY = 251;  // ".." to the parent directory
constexpr std::int64_t ITEM_DIRECTORY = 252;
constexpr std::int64_t ITEM_DOCUMENTS = 253;  // "My Documents" in the root view
constexpr std::int64_t ITEM_FILE = 255;
constexpr std::int64_t ITEM_LAST_DRIVE = 31;

inline bool explorer_is_parent_item(std::int64_t kind) {
  return kind == ITEM_PARENT_ROOT || kind == ITEM_PARENT_DIRECTORY;
}
inline bool explorer_is_drive_item(std::int64_t kind) {
  return kind >= 0 && kind <= ITEM_LAST_DRIVE;
}

// "<n> KB": whole kilobytes, rounded up below 1 GiB, down from there on.
std::string explorer_size_text(std::uint64_t size);
// The letters of the set attributes in the order R H S D A N T C O E.
std::string explorer_attribute_letters(std::uint32_t attributes);
// The sort key of a size text: its leading number, -1 for a text shorter
// than two characters (directories, which show no size).
std::int64_t explorer_size_key(std::string_view size_text);

// The parts of a pattern list ("*.jpg;*.png"), empty parts left out.
std::vector<std::string> explorer_split_patterns(std::string_view patterns);

// What a text given to the list asks for.
struct ExplorerLocation {
  bool directory_changes;
  std::string directory;  // with its trailing backslash; empty: the root view
  bool patterns_change;
  std::string patterns;
};
// A text with a backslash names a directory (everything up to its last
// backslash) and, behind it, a new pattern list; one without a backslash is
// only a pattern list; an empty text is the root view. A leading backslash
// that is the text's only one is dropped first.
ExplorerLocation explorer_parse_location(std::string_view text);

// Navigation targets. A drive's root ("C:\") has one backslash.
bool explorer_is_drive_root(std::string_view directory);
// The directory without its last level ("C:\a\b\" gives "C:\a\").
std::string explorer_parent_directory(std::string_view directory);
// The drive index (0 = A) of a directory's drive letter, -1 for none.
int explorer_drive_index(std::string_view directory);
// "C:\" for index 2.
std::string explorer_drive_root(int drive_index);

// The extension key of the type cache: the upper-cased text behind the last
// period of the name, when it has at most four characters and is none of
// EXE, ICO, LNK and ICL (those files carry icons of their own). False when
// the file's type must be asked for every time.
bool explorer_type_key(std::string_view file_name, std::string* key);

// A case-insensitive order key of a text, in the user's collation; keys
// compare byte by byte. Seam: the platform's sort keys on Windows, lower
// case by the ANSI code page on the host build.
std::string explorer_order_key(std::string_view text);

// One item as sorting sees it: its kind and the column's key (`order` is a
// case-insensitive order key of the text, `number` a size or a file time).
struct ExplorerSortKey {
  std::int64_t kind;
  std::string order;
  std::uint64_t number;
};

// The comparison of two items under a column kind and a direction (1
// ascending, -1 descending). ".." items lead in every direction. In the
// root view a name column orders by item kind: drives by letter, then the
// documents entry.
int explorer_compare(const ExplorerSortKey& a, const ExplorerSortKey& b, int column_kind,
                     int direction, bool root_view);
// Whether a column kind sorts at all (the text, name, size, type, attribute
// and date columns do).
bool explorer_column_sorts(int column_kind);
