// The record of one drop: what was dropped, how and where. The drop target
// makes it from the runtime heap and posts it to its toolkit window with the
// drop message (freeing it itself only when that post fails); from then on
// the event state owns it until the next event_wait (gui/core/event_state.h).
#pragma once

#include <cstdint>

struct DropRecord {
  std::int32_t format;        // the dropped format, or 512 for a private drop
  std::int32_t private_type;  // 0 for ordinary formats
  std::int32_t action;        // the action carried out: 1 copy, 2 move, 4 link
  std::int32_t x;             // drop point in client coordinates of the target
  std::int32_t y;
  void* data;  // runtime-heap copy of the dropped block; null for a private drop
  std::int64_t size;
};

// Frees the data block, then the record. Null does nothing.
void drop_record_free(DropRecord* record);
