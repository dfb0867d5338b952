// The event state: what one event_wait leaves for the next, and the copy
// that the application reads.
#include "gui/core/event_state.h"

#include "gui/core/event_queue.h"
#include "runtime/heap.h"
#include "runtime/state_block.h"

namespace {

EventState* state_block = nullptr;

// The release routine of a drop record that travels with a queued event;
// taking the event moves the record to `drop_data` instead.
void drop_record_release(void* record) {
  drop_record_free(static_cast<DropRecord*>(record));
}

}  // namespace

void drop_record_free(DropRecord* record) {
  if (!record) return;
  runtime_free(record->data);
  runtime_free(record);
}

EventState* event_state_start() {
  state_block = static_cast<EventState*>(state_block_create(sizeof(EventState), nullptr, nullptr));
  return state_block;
}

void event_state_end() {
  if (state_block) drop_record_free(state_block->drop_data);
  state_block = nullptr;
}

EventState* event_state() {
  return state_block ? static_cast<EventState*>(state_block_get(state_block)) : nullptr;
}

void event_state_begin_wait(EventState* state) {
  EventFields& event = state->current;
  if (event.data && event.data_release) event.data_release(event.data);
  drop_record_free(state->drop_data);
  state->drop_data = nullptr;
  event.type = -1;
  event.pending_code = 0;
  event.data = nullptr;
  event.data_release = nullptr;
}

bool event_state_take_queued(EventState* state, std::int64_t* code) {
  QueuedEvent node;
  if (!event_queue_take(&node)) return false;
  EventFields& event = state->current;
  event.gadget = node.gadget;
  event.window = node.window;
  event.type = node.type;
  event.data = node.data;
  event.data_release = node.data_release;
  event.wparam = 0;
  event.lparam = 0;
  if (node.data_release == drop_record_release) {
    state->drop_data = static_cast<DropRecord*>(node.data);
    event.data = nullptr;
    event.data_release = nullptr;
  }
  *code = node.code;
  return true;
}

std::int64_t event_state_finish(EventState* state, std::int64_t code) {
  state->returned = state->current;
  return code;
}

void event_raise(std::int64_t code, std::int64_t gadget, std::int64_t type, DropRecord* drop) {
  EventState* state = event_state();
  if (!state) {
    drop_record_free(drop);
    return;
  }
  // The first event of a dispatch is its answer; a second one (raised in a
  // modal loop inside the dispatch) queues behind it rather than replace it
  // and its drop record.
  if (state->dispatching && state->current.pending_code == 0 && !(drop && state->drop_data)) {
    state->current.pending_code = code;
    state->current.gadget = gadget;
    state->current.type = type;
    if (drop) state->drop_data = drop;
    return;
  }
  event_post(static_cast<std::int32_t>(code), gadget, state->current.window, type, drop,
             drop ? drop_record_release : nullptr);
}

std::int64_t event_gadget() {
  EventState* state = event_state();
  return state ? state->returned.gadget : 0;
}

std::int64_t event_type() {
  EventState* state = event_state();
  return state ? state->returned.type : 0;
}
