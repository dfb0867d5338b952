// Texts, locations, navigation paths and the sort order of the explorer list.
#include "gui/explorer/explorer_rules.h"

namespace {

int three_way(std::uint64_t a, std::uint64_t b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

int three_way_text(const std::string& a, const std::string& b) {
  const int order = a.compare(b);  // byte order, as unsigned characters
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

char ascii_upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Kinds of different items: directories lead, files follow them; other
// pairs (drives and the documents entry) leave it to their texts (0).
int kind_order(std::int64_t a, std::int64_t b, int direction) {
  if (a == b) return 0;
  if (a == ITEM_DIRECTORY) return -direction;
  if (a == ITEM_FILE && b == ITEM_DIRECTORY) return direction;
  return 0;
}

int compare_dates(const ExplorerSortKey& a, const ExplorerSortKey& b, int direction) {
  if (explorer_is_drive_item(a.kind) || explorer_is_drive_item(b.kind)) return 0;
  if (a.kind == b.kind) return three_way(a.number, b.number) * direction;
  if (a.kind == ITEM_DIRECTORY && b.kind == ITEM_FILE) return -direction;
  if (a.kind == ITEM_FILE && b.kind == ITEM_DIRECTORY) return direction;
  return 0;
}

}  // namespace

const ExplorerColumnTitle EXPLORER_COLUMN_TITLES[7] = {
    {COLUMN_NAME, "ZQ_Explorer_Column_Name", "Name", 8976},
    {COLUMN_SIZE, "ZQ_Explorer_Column_Size", "Size", 8978},
    {COLUMN_TYPE, "ZQ_Explorer_Column_Type", "Type", 8979},
    {COLUMN_ATTRIBUTES, "ZQ_Explorer_Column_Attributes", "Attributes", 8987},
    {COLUMN_CREATED, "ZQ_Explorer_Column_Created", "Created", 8996},
    {COLUMN_MODIFIED, "ZQ_Explorer_Column_Modified", "Modified", 8980},
    {COLUMN_ACCESSED, "ZQ_Explorer_Column_Accessed", "Accessed", 8997},
};

ExplorerColumnKind explorer_column_kind(std::string_view title) {
  for (const ExplorerColumnTitle& column : EXPLORER_COLUMN_TITLES)
    if (title == column.key) return column.kind;
  return COLUMN_TEXT;
}

bool explorer_is_date_column(int kind) {
  return kind == COLUMN_CREATED || kind == COLUMN_MODIFIED || kind == COLUMN_ACCESSED;
}

bool explorer_column_sorts(int kind) {
  return kind == COLUMN_TEXT || (kind >= COLUMN_NAME && kind <= COLUMN_ACCESSED);
}

std::string explorer_size_text(std::uint64_t size) {
  // Up to 1 GiB a partly used kilobyte counts as a whole one.
  const std::uint64_t kilobytes =
      (size >= 1 && size <= 0x3FFFFFFF) ? (size + 1023) / 1024 : size / 1024;
  return std::to_string(kilobytes) + " KB";
}

std::string explorer_attribute_letters(std::uint32_t attributes) {
  static constexpr struct {
    std::uint32_t bit;
    char letter;
  } kLetters[] = {{0x1, 'R'},  {0x2, 'H'},   {0x4, 'S'},   {0x10, 'D'},   {0x20, 'A'},
                  {0x80, 'N'}, {0x100, 'T'}, {0x800, 'C'}, {0x1000, 'O'}, {0x4000, 'E'}};
  std::string letters;
  for (const auto& entry : kLetters)
    if (attributes & entry.bit) letters.push_back(entry.letter);
  return letters;
}

std::int64_t explorer_size_key(std::string_view size_text) {
  if (size_text.size() < 2) return -1;
  std::int64_t value = 0;
  for (char c : size_text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::vector<std::string> explorer_split_patterns(std::string_view patterns) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    if (end > start) parts.emplace_back(patterns.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

ExplorerLocation explorer_parse_location(std::string_view text) {
  if (!text.empty() && text[0] == '\\' && text.find('\\', 1) == std::string_view::npos)
    text.remove_prefix(1);
  ExplorerLocation location{false, {}, false, {}};
  const std::size_t last = text.rfind('\\');
  if (text.empty()) {
    location.directory_changes = true;
  } else if (last == std::string_view::npos) {
    location.patterns_change = true;
    location.patterns = std::string(text);
  } else {
    location.directory_changes = true;
    location.directory = std::string(text.substr(0, last + 1));
    if (last + 1 < text.size()) {
      location.patterns_change = true;
      location.patterns = std::string(text.substr(last + 1));
    }
    char& drive = location.directory[0];
    if (drive >= 'a' && drive <= 'z') drive = ascii_upper(drive);
  }
  return location;
}

bool explorer_is_drive_root(std::string_view directory) {
  const std::size_t first = directory.find('\\');
  return first != std::string_view::npos &&
         directory.find('\\', first + 1) == std::string_view::npos;
}

std::string explorer_parent_directory(std::string_view directory) {
  if (!directory.empty() && directory.back() == '\\') directory.remove_suffix(1);
  const std::size_t last = directory.rfind('\\');
  return last == std::string_view::npos ? std::string()
                                        : std::string(directory.substr(0, last + 1));
}

int explorer_drive_index(std::string_view directory) {
  if (directory.size() < 2 || directory[1] != ':') return -1;
  const char letter = ascii_upper(directory[0]);
  return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
}

std::string explorer_drive_root(int drive_index) {
  return std::string(1, static_cast<char>('A' + drive_index)) + ":\\";
}

bool explorer_type_key(std::string_view file_name, std::string* key) {
  const std::size_t name_start = file_name.find_last_of("\\/");
  if (name_start != std::string_view::npos) file_name.remove_prefix(name_start + 1);
  const std::size_t period = file_name.rfind('.');
  if (period == std::string_view::npos) return false;
  const std::string_view extension = file_name.substr(period + 1);
  if (extension.size() > 4) return false;
  std::string upper;
  for (char c : extension) upper.push_back(ascii_upper(c));
  if (upper == "EXE" || upper == "ICO" || upper == "LNK" || upper == "ICL") return false;
  *key = upper;
  return true;
}

int explorer_compare(const ExplorerSortKey& a, const ExplorerSortKey& b, int column_kind,
                     int direction, bool root_view) {
  const bool a_parent = explorer_is_parent_item(a.kind);
  const bool b_parent = explorer_is_parent_item(b.kind);
  if (a_parent || b_parent) return a_parent == b_parent ? 0 : (a_parent ? -1 : 1);
  if (column_kind == COLUMN_SIZE) return three_way(a.number, b.number) * direction;
  if (explorer_is_date_column(column_kind)) return compare_dates(a, b, direction);
  if (root_view && column_kind == COLUMN_NAME)
    return three_way(static_cast<std::uint64_t>(a.kind), static_cast<std::uint64_t>(b.kind)) *
           direction;
  if (const int by_kind = kind_order(a.kind, b.kind, direction)) return by_kind;
  return three_way_text(a.order, b.order) * direction;
}
