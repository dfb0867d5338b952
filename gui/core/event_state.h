// The event under construction and the last event returned: one record for
// the process, owned by the thread that waits for events. How the rules of
// delivery in gui/core/events.h are kept:
//
// - `dispatching` is set while event_wait dispatches a message (a nested
//   event_wait saves and restores it). event_raise makes the first event of a
//   dispatch the answer through `pending_code`; with a pending code (or, for
//   a drop, a drop record) already set, or outside a dispatch (a modal loop
//   the program entered between two waits), it queues the event instead.
// - A drop record rides with its event. As the answer it goes straight to
//   `drop_data`; queued, it is the node's data with a release routine of its
//   own, and taking the node moves it to `drop_data`. event_state_begin_wait
//   (the next event_wait) and event_state_end (shutdown) free `drop_data`;
//   a queue that drops or removes the node frees it too. Nothing else frees a
//   record once the drop target has handed it to its window.
#pragma once

#include <cstdint>

#include "gui/core/drop_record.h"
#include "gui/core/events.h"

struct EventFields {
  std::int64_t gadget;
  std::int64_t window;
  std::int64_t type;
  std::int64_t pending_code;  // set by the window procedure while a message is dispatched
  std::int64_t wparam;
  std::int64_t lparam;
  void* data;
  EventDataRelease data_release;
};

struct EventState {
  EventFields current;
  EventFields returned;  // the copy that event_gadget and event_type read
  DropRecord* drop_data;
  bool dispatching;  // event_wait is dispatching a message: direct events go back to it
};

EventState* event_state_start();
// Frees a pending drop record and forgets the state.
void event_state_end();
// The state, or null while the toolkit is down.
EventState* event_state();

// The start of every wait: the previous event's data and drop record are
// released, type, pending code and data are reset. Gadget and window keep
// their values.
void event_state_begin_wait(EventState* state);
// Takes the oldest queued event into the state; false when the queue is empty.
bool event_state_take_queued(EventState* state, std::int64_t* code);
// Remembers the event as the last one returned and gives its code back.
std::int64_t event_state_finish(EventState* state, std::int64_t code);
// Raises a direct event for the message being handled, in the window the
// window procedure found for it. While event_wait dispatches the message,
// that very call returns the event. A message that something else
// dispatches (the message box of a requester, a modal loop of the
// platform) has no event_wait to return to: its event is queued instead,
// so that it is not overwritten or reset by the next wait. A drop record
// goes with its event and belongs to the event state from here on.
void event_raise(std::int64_t code, std::int64_t gadget, std::int64_t type,
                 DropRecord* drop = nullptr);
