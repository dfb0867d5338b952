// Type cache entries and their name pool, each growing in fixed steps.
#include "gui/explorer/explorer_type_cache.h"

#include <algorithm>
#include <cstring>

namespace {

// Room for `needed` elements, grown by whole steps.
template <typename T>
void grow_in_steps(std::vector<T>& items, std::size_t needed, std::size_t step) {
  if (needed <= items.capacity()) return;
  items.reserve((needed + step - 1) / step * step);
}

}  // namespace

ExplorerTypeCache::ExplorerTypeCache() {
  entries_.reserve(kEntryStep);
  pool_.reserve(kPoolStep);
  pool_.push_back('\0');  // the empty name
}

bool ExplorerTypeCache::find(std::string_view key, int* icon, std::string* type_name) const {
  for (const Entry& entry : entries_) {
    if (key != entry.key) continue;
    *icon = entry.icon;
    *type_name = &pool_[entry.name_offset];
    return true;
  }
  return false;
}

void ExplorerTypeCache::add(std::string_view key, std::string_view type_name, int icon) {
  Entry entry{};
  std::memcpy(entry.key, key.data(), std::min<std::size_t>(key.size(), 4));
  entry.icon = icon;
  if (!type_name.empty()) {
    entry.name_offset = static_cast<std::uint32_t>(pool_.size());
    grow_in_steps(pool_, pool_.size() + type_name.size() + 1, kPoolStep);
    pool_.insert(pool_.end(), type_name.begin(), type_name.end());
    pool_.push_back('\0');
  }
  grow_in_steps(entries_, entries_.size() + 1, kEntryStep);
  entries_.push_back(entry);
}
