// The brush cache: a list of (colour, brush, users) under the gadget lock.
#include "gui/gadgets/brush_cache.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gui/gadgets/gadget_kind.h"

namespace {

struct BrushCacheEntry {
  COLORREF color;
  HBRUSH brush;
  std::int32_t references;
};

std::vector<BrushCacheEntry> entries;

}  // namespace

HBRUSH brush_cache_take(COLORREF color) {
  LockGuard guard(gadget_lock());
  for (BrushCacheEntry& entry : entries)
    if (entry.color == color) {
      ++entry.references;
      return entry.brush;
    }
  const HBRUSH brush = CreateSolidBrush(color);
  if (brush) entries.push_back(BrushCacheEntry{color, brush, 1});
  return brush;
}

void brush_cache_release(HBRUSH brush) {
  if (!brush) return;
  LockGuard guard(gadget_lock());
  const auto entry = std::find_if(entries.begin(), entries.end(),
                                  [brush](const BrushCacheEntry& e) { return e.brush == brush; });
  if (entry == entries.end()) return;
  if (--entry->references > 0) return;
  DeleteObject(entry->brush);
  entries.erase(entry);
}
