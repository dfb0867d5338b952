// The event queue and the event state without windows: collapse of
// identical runs, removal, suspension, and the release of an event's data
// at the next wait.
#include "gui/core/event_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "gui/core/event_state.h"
#include "runtime/heap.h"
#include "support/runtime_fixture.h"

namespace {

class EventQueueTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ASSERT_NE(event_queue_start(), nullptr);
    ASSERT_NE(event_state_start(), nullptr);
  }
  void TearDown() override {
    event_state_end();
    event_queue_end();
    RuntimeTest::TearDown();
  }
  // Takes every queued event the way event_wait does: (code, gadget, window, type).
  std::vector<std::vector<std::int64_t>> take_all() {
    std::vector<std::vector<std::int64_t>> events;
    EventState* state = event_state();
    std::int64_t code = 0;
    for (;;) {
      event_state_begin_wait(state);
      if (!event_state_take_queued(state, &code)) break;
      event_state_finish(state, code);
      events.push_back({code, event_gadget(), state->returned.window, event_type()});
    }
    return events;
  }
};

using Events = std::vector<std::vector<std::int64_t>>;

int released = 0;
void count_release(void*) {
  ++released;
}

TEST_F(EventQueueTest, identical_runs_collapse_and_a_different_event_breaks_the_run) {
  for (int i = 0; i < 5; ++i) event_post(EVENT_GADGET, 7, 1, 0);
  event_post(EVENT_GADGET, 7, 1, 0, reinterpret_cast<void*>(1));  // data is not compared
  event_post(EVENT_SIZE_WINDOW, 0, 1, 0);
  event_post(EVENT_GADGET, 7, 1, 0);
  event_post(EVENT_GADGET, 7, 1, 0);
  event_post(EVENT_GADGET, 7, 1, 1);  // another type is another event
  // Codes from 65537 upwards never collapse.
  event_post(65537, 0, 1, 0);
  event_post(65537, 0, 1, 0);
  EXPECT_EQ(take_all(), (Events{{EVENT_GADGET, 7, 1, 0},
                                {EVENT_SIZE_WINDOW, 0, 1, 0},
                                {EVENT_GADGET, 7, 1, 0},
                                {EVENT_GADGET, 7, 1, 1},
                                {65537, 0, 1, 0},
                                {65537, 0, 1, 0}}));
}

TEST_F(EventQueueTest, removal_by_fields_and_by_window_keeps_the_rest_in_order) {
  event_post(EVENT_GADGET, 1, 10, 0);
  event_post(EVENT_GADGET, 2, 10, 0, reinterpret_cast<void*>(8), count_release);
  event_post(EVENT_CLOSE_WINDOW, 11, 11, 0);
  event_post(EVENT_GADGET, 2, 11, 768);
  event_post(EVENT_SIZE_WINDOW, 0, 10, 0);
  event_post(EVENT_GADGET, 3, 11, 0);
  released = 0;
  event_queue_remove(EVENT_GADGET, 2, -1, -1);
  EXPECT_EQ(released, 1);  // a removed event's data is released
  event_queue_remove_window(10);
  EXPECT_EQ(take_all(), (Events{{EVENT_CLOSE_WINDOW, 11, 11, 0}, {EVENT_GADGET, 3, 11, 0}}));
  // The tail moved with the removals: new events still append.
  event_post(EVENT_GADGET, 4, 12, 0);
  event_queue_remove(-1, -1, -1, -1);
  EXPECT_EQ(event_queue_length(), 0);
  event_post(EVENT_GADGET, 5, 12, 0);
  EXPECT_EQ(take_all(), (Events{{EVENT_GADGET, 5, 12, 0}}));
}

TEST_F(EventQueueTest, posts_are_dropped_while_suspended) {
  event_queue_suspend();
  event_queue_suspend();
  event_post(EVENT_GADGET, 1, 1, 0);
  event_queue_resume();
  event_post(EVENT_GADGET, 2, 1, 0);
  event_queue_resume();
  event_queue_resume();  // one too many does not silence the queue
  event_post(EVENT_GADGET, 3, 1, 0);
  EXPECT_EQ(take_all(), (Events{{EVENT_GADGET, 3, 1, 0}}));
}

TEST_F(EventQueueTest, data_and_drop_record_live_until_the_next_wait) {
  released = 0;
  event_post(EVENT_GADGET, 1, 1, 0, reinterpret_cast<void*>(8), count_release);
  event_post(EVENT_GADGET, 2, 1, 0);
  EventState* state = event_state();
  std::int64_t code = 0;
  event_state_begin_wait(state);
  ASSERT_TRUE(event_state_take_queued(state, &code));
  event_state_finish(state, code);
  EXPECT_EQ(released, 0);
  event_state_begin_wait(state);
  EXPECT_EQ(released, 1);
  EXPECT_EQ(state->current.type, -1);
  EXPECT_EQ(state->current.gadget, 1);  // the gadget field keeps its value
  ASSERT_TRUE(event_state_take_queued(state, &code));
  // Raised while no wait dispatches (a message box's loop), two drops queue
  // with their records; each record lives until the wait after its event.
  auto* first = static_cast<DropRecord*>(runtime_alloc(sizeof(DropRecord)));
  first->data = runtime_alloc(16);
  auto* second = static_cast<DropRecord*>(runtime_alloc(sizeof(DropRecord)));
  event_raise(EVENT_GADGET_DROP, 4, EVENT_TYPE_NONE, first);
  event_raise(EVENT_GADGET_DROP, 4, EVENT_TYPE_NONE, second);
  for (DropRecord* record : {first, second}) {
    event_state_begin_wait(state);
    ASSERT_TRUE(event_state_take_queued(state, &code));
    EXPECT_EQ(code, EVENT_GADGET_DROP);
    EXPECT_EQ(state->drop_data, record);
  }
  event_state_begin_wait(state);
  EXPECT_EQ(state->drop_data, nullptr);
}

}  // namespace
