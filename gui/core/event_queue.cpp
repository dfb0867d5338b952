// The event queue: posting with the collapse of identical runs, taking,
// suspending and selective removal.
#include "gui/core/event_queue.h"

#include <cassert>

#include "gui/core/toolkit_thread.h"
#include "runtime/state_block.h"

namespace {

EventQueue* queue = nullptr;

void create_pool(void* block) {
  static_cast<EventQueue*>(block)->pool = pool_create(sizeof(QueuedEvent), 16, 256, 0);
}

bool same_event(const QueuedEvent& node, std::int32_t code, std::int64_t gadget,
                std::int64_t window, std::int64_t type) {
  return node.code == code && node.gadget == gadget && node.window == window && node.type == type;
}

// Unlinks every node that `matches` accepts, keeping head and tail right.
template <typename Match>
void remove_matching(Match matches) {
  if (!queue) return;
  QueuedEvent* previous = nullptr;
  QueuedEvent* node = queue->head;
  while (node) {
    QueuedEvent* next = node->next;
    if (matches(*node)) {
      if (previous)
        previous->next = next;
      else
        queue->head = next;
      if (queue->tail == node) queue->tail = previous;
      // A removed event never reaches event_wait, so its data goes here.
      if (node->data && node->data_release) node->data_release(node->data);
      pool_free(queue->pool, node);
    } else {
      previous = node;
    }
    node = next;
  }
}

bool field_matches(std::int64_t wanted, std::int64_t value) {
  return wanted == -1 || wanted == value;
}

}  // namespace

EventQueue* event_queue_start() {
  toolkit_thread_claim();
  queue = static_cast<EventQueue*>(state_block_create(sizeof(EventQueue), create_pool, nullptr));
  return queue;
}

void event_queue_end() {
  queue = nullptr;
  toolkit_thread_release();
}

EventQueue* event_queue() {
  return queue ? static_cast<EventQueue*>(state_block_get(queue)) : nullptr;
}

void event_post(std::int32_t code, std::int64_t gadget, std::int64_t window, std::int64_t type,
                void* data, EventDataRelease data_release) {
  // The queue takes no lock: another thread hands its events over through
  // the post-event window instead.
  assert(toolkit_on_main_thread());
  // An event that is not queued never reaches event_wait, so its data goes here.
  const auto discard = [&] {
    if (data && data_release) data_release(data);
  };
  if (!queue || !queue->pool || queue->suspend_count != 0) return discard();
  // A burst of identical events (a track bar reporting every step of a
  // drag) reaches the application as one while it waits in the queue. An
  // event with data of its own (a drop and its record) is never folded
  // into the one before it: its data would be lost.
  if (queue->tail && queue->tail->code < EVENT_COLLAPSE_LIMIT && !data_release &&
      same_event(*queue->tail, code, gadget, window, type))
    return;
  auto* node = static_cast<QueuedEvent*>(pool_alloc(queue->pool));
  if (!node) return discard();
  *node = QueuedEvent{nullptr, code, gadget, window, type, data, data_release};
  if (queue->tail)
    queue->tail->next = node;
  else
    queue->head = node;
  queue->tail = node;
}

bool event_queue_take(QueuedEvent* out) {
  if (!queue || !queue->head) return false;
  QueuedEvent* node = queue->head;
  queue->head = node->next;
  if (!queue->head) queue->tail = nullptr;
  *out = *node;
  out->next = nullptr;
  pool_free(queue->pool, node);
  return true;
}

std::int64_t event_queue_length() {
  std::int64_t length = 0;
  if (queue)
    for (const QueuedEvent* node = queue->head; node; node = node->next) ++length;
  return length;
}

void event_queue_suspend() {
  if (queue) ++queue->suspend_count;
}

void event_queue_resume() {
  // An unbalanced resume must not leave the queue deaf for good.
  if (queue && queue->suspend_count > 0) --queue->suspend_count;
}

void event_queue_remove(std::int64_t code, std::int64_t gadget, std::int64_t window,
                        std::int64_t type) {
  remove_matching([&](const QueuedEvent& node) {
    return field_matches(code, node.code) && field_matches(gadget, node.gadget) &&
           field_matches(window, node.window) && field_matches(type, node.type);
  });
}

void event_queue_remove_window(std::int64_t window) {
  remove_matching([&](const QueuedEvent& node) { return node.window == window; });
}
