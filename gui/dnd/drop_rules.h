// The rules of drag and drop that need no platform: the formats a drop
// target accepts with their actions, the action a drag gets from the keys
// held down, and the joined list of dropped paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Drop effects and the key-state bits a drag reports.
constexpr std::int32_t DROP_EFFECT_COPY = 1;
constexpr std::int32_t DROP_EFFECT_MOVE = 2;
constexpr std::int32_t DROP_EFFECT_LINK = 4;
constexpr std::int32_t DROP_KEY_SHIFT = 0x4;
constexpr std::int32_t DROP_KEY_CONTROL = 0x8;
constexpr std::int32_t DROP_KEY_ALT = 0x20;

struct DropFormatEntry {
  std::int32_t key;  // a format number or a private type
  std::int32_t allowed_actions;
};

// The entries of one list in the order a drag looks at them: the newest first.
class DropFormatList {
 public:
  // A known key gets the new actions and keeps its place; a new one goes
  // to the front.
  void enable(std::int32_t key, std::int32_t actions);
  // False when the key was not in the list.
  bool withdraw(std::int32_t key);
  bool empty() const { return entries_.empty(); }
  const std::vector<DropFormatEntry>& entries() const { return entries_; }
  // The first entry for `key` whose actions share a bit with `offered`.
  const DropFormatEntry* first_offered(std::int32_t key, std::int32_t offered) const;

 private:
  std::vector<DropFormatEntry> entries_;
};

// The action of a drag that offers `offered` effects onto a target that
// allows `allowed`, with the modifier keys of `key_state`: link for
// Ctrl+Shift or Alt alone, move for Shift alone or when copy is not
// possible, else copy, move or link in that order; 0 when none is possible.
std::int32_t drop_choose_action(std::int32_t offered, std::int32_t allowed, std::int32_t key_state);

// The paths in their order, joined by "\n" without a trailing separator.
std::string drop_files_join(const std::vector<std::string>& paths);

// The files of a drop (gui/dnd/drag_drop.h event_dropped_files): the paths
// joined by "\n", and the names that could not be taken.
struct DroppedFiles {
  std::string paths;
  std::vector<std::string> refused;
  // Adds a later drop's files to these.
  void add(const DroppedFiles& later);
  bool empty() const { return paths.empty() && refused.empty(); }
};
