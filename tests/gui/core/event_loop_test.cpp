// event_wait under Wine: polling and time-outs, raw messages, the collapse
// of queued runs, events handed over from another thread, and the routing
// of commands, timers, clicks, tray and drop messages, activation and MDI
// frames.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "gui/core/event_queue.h"
#include "gui/core/event_state.h"
#include "gui/core/requester.h"
#include "gui/core/window.h"
#include "runtime/heap.h"
#include "support/input.h"
#include "support/message_box_answerer.h"
#include "support/toolkit_fixture.h"

namespace {

using EventLoopTest = ToolkitTest;
using Clock = std::chrono::steady_clock;

long long elapsed_ms(Clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

TEST_F(EventLoopTest, poll_returns_at_once_and_a_time_out_waits) {
  ASSERT_NE(window_open(1, 0, 0, 100, 60, "warten"), 0u);
  pump_for(300);
  drain_events();
  auto start = Clock::now();
  EXPECT_EQ(event_wait(0), 0);
  EXPECT_LT(elapsed_ms(start), 200);
  EXPECT_EQ(event_type(), -1);
  start = Clock::now();
  EXPECT_EQ(event_wait(50), 0);
  const long long waited = elapsed_ms(start);
  EXPECT_GE(waited, 40);
  EXPECT_LT(waited, 1000);
}

TEST_F(EventLoopTest, raw_message_has_no_type_and_keeps_the_gadget) {
  ASSERT_NE(window_open(4, 0, 0, 100, 60, "roh"), 0u);
  const HWND h = window_handle(4);
  pump_for(200);
  SendMessageA(h, WM_CLOSE, 0, 0);  // queues a close with gadget 4
  EXPECT_EQ(event_wait(0), EVENT_CLOSE_WINDOW);
  EXPECT_EQ(event_gadget(), 4);
  EXPECT_EQ(event_type(), 0);
  PostMessageA(h, WM_APP + 5, 11, 22);
  EXPECT_EQ(event_wait(0), WM_APP + 5);
  EXPECT_EQ(event_type(), -1);
  EXPECT_EQ(event_gadget(), 4);
  EXPECT_EQ(event_state()->returned.wparam, 11);
  EXPECT_EQ(event_state()->returned.lparam, 22);
}

TEST_F(EventLoopTest, identical_queued_events_arrive_as_one_until_another_breaks_the_run) {
  ASSERT_NE(window_open(1, 0, 0, 100, 60, "Serie"), 0u);
  const HWND h = window_handle(1);
  pump_for(300);
  drain_events();
  for (int i = 0; i < 3; ++i) SendMessageA(h, WM_CLOSE, 0, 0);
  SendMessageA(h, WM_MOVE, 0, 0);
  SendMessageA(h, WM_CLOSE, 0, 0);
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(drain_events(),
            (std::vector<std::int64_t>{EVENT_CLOSE_WINDOW, EVENT_MOVE_WINDOW, EVENT_CLOSE_WINDOW}));
}

TEST_F(EventLoopTest, events_from_another_thread_arrive_in_order) {
  ASSERT_NE(window_open(1, 0, 0, 100, 60, "Faden"), 0u);
  pump_for(200);
  std::thread sender([] {
    for (int gadget = 1; gadget <= 6; ++gadget)
      EXPECT_TRUE(event_post_from_thread(static_cast<std::int32_t>(EVENT_GADGET), gadget, 1, 0));
  });
  sender.join();
  std::vector<std::int64_t> gadgets;
  pump_until([&](const auto& seen) {
    gadgets.clear();
    for (const SeenEvent& e : seen)
      if (e.code == EVENT_GADGET) gadgets.push_back(e.gadget);
    return gadgets.size() == 6;
  });
  EXPECT_EQ(gadgets, (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(EventLoopTest, commands_timers_clicks_and_tray_messages_become_events) {
  ASSERT_NE(window_open(1, 300, 200, 240, 120, "Befehle"), 0u);
  const HWND h = window_handle(1);
  const HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, h,
                                      reinterpret_cast<HMENU>(42), nullptr, nullptr);
  ASSERT_NE(button, nullptr);
  pump_for(300);
  drain_events();

  // A real click on a control: a direct gadget event with the notification code.
  ASSERT_TRUE(bring_to_front(h));
  RECT b{};
  GetWindowRect(button, &b);
  click_at((b.left + b.right) / 2, (b.top + b.bottom) / 2);
  auto seen = pump_until([](const auto& s) { return saw(s, EVENT_GADGET); });
  ASSERT_TRUE(saw(seen, EVENT_GADGET));
  EXPECT_EQ(event_gadget(), 42);
  EXPECT_EQ(event_type(), 0);

  PostMessageA(h, WM_COMMAND, MAKEWPARAM(42, EN_CHANGE), reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(event_wait(0), EVENT_GADGET);
  EXPECT_EQ(event_type(), EN_CHANGE);
  PostMessageA(h, WM_COMMAND, MAKEWPARAM(7, 0), 0);  // a menu item
  EXPECT_EQ(event_wait(0), EVENT_MENU);
  EXPECT_EQ(event_gadget(), 7);
  EXPECT_EQ(event_type(), -1);
  PostMessageA(h, WM_COMMAND, MAKEWPARAM(300, 1), 0);  // another accelerator
  EXPECT_EQ(event_wait(0), EVENT_MENU);
  EXPECT_EQ(event_gadget(), 300);

  PostMessageA(h, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(event_wait(0), EVENT_LEFT_CLICK);
  EXPECT_EQ(event_gadget(), 300);  // unchanged
  PostMessageA(h, WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_EQ(event_wait(0), EVENT_LEFT_DOUBLE_CLICK);
  PostMessageA(h, WM_RBUTTONUP, 0, 0);
  EXPECT_EQ(event_wait(0), EVENT_RIGHT_CLICK);
  EXPECT_EQ(event_state()->returned.window, 1);

  SetTimer(h, 9, 10, nullptr);
  seen = pump_until([](const auto& s) { return saw(s, EVENT_TIMER); });
  KillTimer(h, 9);
  ASSERT_TRUE(saw(seen, EVENT_TIMER));
  for (const SeenEvent& e : seen) {
    if (e.code == EVENT_TIMER) {
      EXPECT_EQ(e.gadget, 9);
    }
  }

  drain_events();
  SendMessageA(h, 12501, 77, WM_RBUTTONDOWN);
  SendMessageA(h, 12501, 78, WM_MOUSEMOVE);  // no event, only the wake-up
  EXPECT_EQ(event_wait(0), EVENT_SYSTRAY);
  EXPECT_EQ(event_gadget(), 77);
  EXPECT_EQ(event_type(), EVENT_TYPE_RIGHT_CLICK);
  EXPECT_EQ(event_queue_length(), 0);  // the mouse move raised nothing
  MSG wake{};
  EXPECT_TRUE(PeekMessageA(&wake, h, WM_NULL, WM_NULL, PM_NOREMOVE));  // the wake-up message
}

// Window 1, shown and settled, with no events left over.
HWND open_quiet_window(const char* title) {
  if (!window_open(1, 0, 0, 200, 100, title)) return nullptr;
  ToolkitTest::pump_for(200);
  ToolkitTest::drain_events();
  return window_handle(1);
}

DropRecord* text_drop_record() {
  auto* record = static_cast<DropRecord*>(runtime_alloc(sizeof(DropRecord)));
  record->format = 15;
  return record;
}

TEST_F(EventLoopTest, drop_messages_hand_their_record_to_the_event) {
  const HWND h = open_quiet_window("Ablage");
  ASSERT_NE(h, nullptr);
  DropRecord* record = text_drop_record();
  PostMessageA(h, 13106, 5, reinterpret_cast<LPARAM>(record));
  EXPECT_EQ(event_wait(0), EVENT_GADGET_DROP);
  EXPECT_EQ(event_gadget(), 5);
  EXPECT_EQ(event_type(), -1);
  EXPECT_EQ(event_state()->drop_data, record);
  auto* window_record = static_cast<DropRecord*>(runtime_alloc(sizeof(DropRecord)));
  PostMessageA(h, 13105, 0, reinterpret_cast<LPARAM>(window_record));
  EXPECT_EQ(event_wait(0), EVENT_WINDOW_DROP);  // the first record is freed by this wait
  EXPECT_EQ(event_gadget(), 5);                 // unchanged
  EXPECT_EQ(event_state()->drop_data, window_record);
  event_wait(0);
  EXPECT_EQ(event_state()->drop_data, nullptr);
}

// A message box's own loop dispatches what arrives while it is up; those
// events and their drop records wait for the next event_wait, in order.
TEST_F(EventLoopTest, events_dispatched_inside_a_message_box_wait_in_the_queue) {
  const HWND h = open_quiet_window("Unterbrochen");
  ASSERT_NE(h, nullptr);
  DropRecord* record = text_drop_record();
  PostMessageA(h, WM_COMMAND, MAKEWPARAM(7, 0), 0);
  PostMessageA(h, 13106, 5, reinterpret_cast<LPARAM>(record));
  {
    MessageBoxAnswerer answerer("Zwischendurch", IDOK);
    EXPECT_EQ(requester_message("Zwischendurch", "Bitte warten"), 1);
    EXPECT_TRUE(answerer.finish());
  }
  // Activation events of the box's coming and going may come between.
  std::vector<std::int64_t> ours;
  for (std::int64_t code; (code = event_wait(0)) != 0;) {
    if (code == EVENT_MENU) ours.push_back(event_gadget());
    if (code != EVENT_GADGET_DROP) continue;
    ours.push_back(event_gadget());
    EXPECT_EQ(event_state()->drop_data, record);
  }
  EXPECT_EQ(ours, (std::vector<std::int64_t>{7, 5}));
}

TEST_F(EventLoopTest, deactivation_keeps_the_focus_and_activation_gives_it_back) {
  ASSERT_NE(window_open(1, 50, 50, 200, 100, "A"), 0u);
  ASSERT_NE(window_open(2, 400, 50, 200, 100, "B"), 0u);
  const HWND a = window_handle(1);
  const HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100,
                                    24, a, reinterpret_cast<HMENU>(3), nullptr, nullptr);
  pump_for(300);
  ASSERT_TRUE(bring_to_front(a));
  SetFocus(edit);
  drain_events();
  ASSERT_TRUE(bring_to_front(window_handle(2)));
  auto seen = pump_for(300);
  EXPECT_EQ(GetPropA(a, "ZQ_Focus"), edit);
  bool deactivated = false;
  for (const SeenEvent& e : seen)
    if (e.code == EVENT_DEACTIVATE_WINDOW && e.window == 1) deactivated = true;
  EXPECT_TRUE(deactivated);
  ASSERT_TRUE(bring_to_front(a));
  seen = pump_for(300);
  EXPECT_EQ(GetFocus(), edit);
  bool activated = false;
  for (const SeenEvent& e : seen)
    if (e.code == EVENT_ACTIVATE_WINDOW && e.window == 1) activated = true;
  EXPECT_TRUE(activated);
}

TEST_F(EventLoopTest, mdi_frame_passes_focus_to_its_client) {
  ASSERT_NE(window_open(1, 0, 0, 300, 200, "Rahmen"), 0u);
  const HWND frame = window_handle(1);
  CLIENTCREATESTRUCT client_info{nullptr, 1000};
  const HWND client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300,
                                      200, frame, nullptr, GetModuleHandleA(nullptr), &client_info);
  ASSERT_NE(client, nullptr);
  pump_for(200);
  ASSERT_TRUE(bring_to_front(frame));
  SetFocus(frame);
  EXPECT_EQ(GetFocus(), frame);  // an ordinary window keeps the focus
  SetPropA(frame, "ZQ_MDI_Gadget", client);
  SetFocus(nullptr);
  SetFocus(frame);
  EXPECT_EQ(GetFocus(), client);  // the frame procedure hands it to the client
  RemovePropA(frame, "ZQ_MDI_Gadget");
}

}  // namespace
