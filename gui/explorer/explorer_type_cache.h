// The explorer list's cache of file types: the shell's type name and icon
// of each short extension, asked for once per process. Entries keep their
// names in one pool whose first byte is the empty name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ExplorerTypeCache {
 public:
  static constexpr std::size_t kEntryStep = 100;
  static constexpr std::size_t kPoolStep = 500;

  ExplorerTypeCache();

  // The cached icon and type name of an extension key (up to four
  // upper-case characters); false on a miss.
  bool find(std::string_view key, int* icon, std::string* type_name) const;
  // Remembers the shell's answer for a key; an empty name shares the pool's
  // empty name.
  void add(std::string_view key, std::string_view type_name, int icon);

  std::size_t entry_count() const { return entries_.size(); }
  std::size_t entry_capacity() const { return entries_.capacity(); }
  std::size_t pool_capacity() const { return pool_.capacity(); }

 private:
  struct Entry {
    char key[5];
    std::uint32_t name_offset;
    int icon;
  };
  std::vector<Entry> entries_;
  std::vector<char> pool_;
};
