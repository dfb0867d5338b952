// Drop formats, the choice of the drop action and the joined file list.
#include "gui/dnd/drop_rules.h"

#include <algorithm>

void DropFormatList::enable(std::int32_t key, std::int32_t actions) {
  for (DropFormatEntry& entry : entries_)
    if (entry.key == key) {
      entry.allowed_actions = actions;
      return;
    }
  entries_.insert(entries_.begin(), DropFormatEntry{key, actions});
}

bool DropFormatList::withdraw(std::int32_t key) {
  const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                  [key](const DropFormatEntry& e) { return e.key == key; });
  if (entry == entries_.end()) return false;
  entries_.erase(entry);
  return true;
}

const DropFormatEntry* DropFormatList::first_offered(std::int32_t key, std::int32_t offered) const {
  for (const DropFormatEntry& entry : entries_)
    if (entry.key == key && (entry.allowed_actions & offered)) return &entry;
  return nullptr;
}

std::int32_t drop_choose_action(std::int32_t offered, std::int32_t allowed,
                                std::int32_t key_state) {
  const std::int32_t possible = offered & allowed;
  const std::int32_t keys = key_state & (DROP_KEY_SHIFT | DROP_KEY_CONTROL | DROP_KEY_ALT);
  if ((possible & DROP_EFFECT_LINK) &&
      (keys == (DROP_KEY_CONTROL | DROP_KEY_SHIFT) || keys == DROP_KEY_ALT))
    return DROP_EFFECT_LINK;
  if ((possible & DROP_EFFECT_MOVE) && (keys == DROP_KEY_SHIFT || !(possible & DROP_EFFECT_COPY)))
    return DROP_EFFECT_MOVE;
  if (possible & DROP_EFFECT_COPY) return DROP_EFFECT_COPY;
  if (possible & DROP_EFFECT_MOVE) return DROP_EFFECT_MOVE;
  if (possible & DROP_EFFECT_LINK) return DROP_EFFECT_LINK;
  return 0;
}

std::string drop_files_join(const std::vector<std::string>& paths) {
  std::string joined;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) joined += '\n';
    joined += paths[i];
  }
  return joined;
}

void DroppedFiles::add(const DroppedFiles& later) {
  if (!later.paths.empty()) paths = paths.empty() ? later.paths : paths + "\n" + later.paths;
  refused.insert(refused.end(), later.refused.begin(), later.refused.end());
}
