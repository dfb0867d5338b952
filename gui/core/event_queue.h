// The toolkit's event queue: one per process, first in first out, its nodes
// from a private block pool. It belongs to the thread that waits for events
// and takes no lock; other threads hand events over through the post-event
// window.
#pragma once

#include <cstdint>

#include "gui/core/events.h"
#include "runtime/block_pool.h"

struct QueuedEvent {
  QueuedEvent* next;
  std::int32_t code;
  std::int64_t gadget;
  std::int64_t window;
  std::int64_t type;
  void* data;
  EventDataRelease data_release;
};
static_assert(sizeof(QueuedEvent) == 56, "queue nodes are the pool's 56-byte blocks");

struct EventQueue {
  BlockPool* pool;
  QueuedEvent* head;
  QueuedEvent* tail;
  std::int32_t suspend_count;  // while not 0, posts are dropped
};

// Creates the queue (a state block whose initialiser creates the pool).
EventQueue* event_queue_start();
// Forgets the queue; its memory goes with the runtime heap.
void event_queue_end();
EventQueue* event_queue();

// Takes the oldest event into `out` (its node goes back to the pool).
// False when the queue is empty.
bool event_queue_take(QueuedEvent* out);
std::int64_t event_queue_length();
