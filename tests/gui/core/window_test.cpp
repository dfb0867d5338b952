// Toolkit windows under Wine: opening with flags and placement, the window
// properties, sizes, close requests, minimise/maximise events, closing,
// and the sizing loop.
#include "gui/core/window.h"

#include <gtest/gtest.h>

#include "gui/core/window_object.h"
#include "support/input.h"
#include "support/toolkit_fixture.h"

namespace {

using WindowTest = ToolkitTest;

RECT rect_of(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// The screen point of the window's close box, found by hit-testing along
// the caption.
bool close_box_of(HWND window, POINT* point) {
  const RECT r = rect_of(window);
  POINT client_top{0, 0};
  ClientToScreen(window, &client_top);
  const int y = (r.top + client_top.y) / 2;
  for (int x = r.right - 1; x > r.right - 80; --x)
    if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
      *point = POINT{x - 4, y};
      return true;
    }
  return false;
}

TEST_F(WindowTest, open_sets_number_class_sizes_and_styles) {
  const std::uintptr_t result = window_open(5, 40, 30, 320, 200, "Fenster");
  const HWND h = window_handle(5);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(result, reinterpret_cast<std::uintptr_t>(h));
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(GetPropA(h, "ZQ_WindowID")), 6);
  char class_name[64] = {};
  GetClassNameA(h, class_name, sizeof class_name);
  EXPECT_STREQ(class_name, "WindowClass_5");
  EXPECT_EQ(GetClassLongPtrA(h, GCL_STYLE) & CS_DBLCLKS, CS_DBLCLKS);
  EXPECT_EQ(window_width(5), 320);
  EXPECT_EQ(window_height(5), 200);
  EXPECT_GT(window_width(5, 0), 320);
  EXPECT_GT(window_height(5, 0), 200);
  const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
  EXPECT_TRUE(IsWindowVisible(h));
  char title[32] = {};
  GetWindowTextA(h, title, sizeof title);
  EXPECT_STREQ(title, "Fenster");
  window_set_title(5, "Neu");
  window_set_title(5, nullptr);  // changes nothing
  GetWindowTextA(h, title, sizeof title);
  EXPECT_STREQ(title, "Neu");
  window_set_topmost(5, 1);
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  window_set_topmost(5, 0);
  EXPECT_FALSE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Flags 0x1: a caption without system menu (so without close box).
  ASSERT_NE(window_open(6, 0, 0, 100, 50, nullptr, WINDOW_SCREEN_CENTERED), 0u);
  const LONG_PTR preview_style = GetWindowLongPtrA(window_handle(6), GWL_STYLE);
  EXPECT_EQ(preview_style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(preview_style & WS_SYSMENU, 0);
  // Invisible and tool windows.
  ASSERT_NE(window_open(7, 0, 0, 100, 50, "", WINDOW_TOOL | WINDOW_INVISIBLE), 0u);
  EXPECT_FALSE(IsWindowVisible(window_handle(7)));
  EXPECT_TRUE(GetWindowLongPtrA(window_handle(7), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  MINMAXINFO info{};
  SendMessageA(window_handle(7), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 1);

  // A dynamic window is named by its handle.
  const std::uintptr_t dynamic = window_open(ANY_OBJECT, 0, 0, 80, 40, "dyn");
  ASSERT_NE(dynamic, 0u);
  const HWND dynamic_window = window_handle(static_cast<object_number>(dynamic));
  ASSERT_NE(dynamic_window, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(GetPropA(dynamic_window, "ZQ_WindowID")), dynamic + 1);
  window_close(ANY_OBJECT);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(IsWindow(dynamic_window));
  EXPECT_EQ(window_handle(5), nullptr);
  EXPECT_EQ(window_width(5), 0);
}

TEST_F(WindowTest, placement_follows_the_flags) {
  // Larger than the screen and centred on it: clipped and at 0,0.
  ASSERT_NE(window_open(1, 300, 300, 4000, 3000, "big", 0x00C80000 | WINDOW_SCREEN_CENTERED), 0u);
  RECT r = rect_of(window_handle(1));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
  // Centred on a parent.
  ASSERT_NE(window_open(2, 100, 100, 400, 300, "parent"), 0u);
  const RECT parent = rect_of(window_handle(2));
  ASSERT_NE(
      window_open(3, 0, 0, 200, 60, "child", 0x00C80000 | WINDOW_PARENT_CENTERED, window_handle(2)),
      0u);
  r = rect_of(window_handle(3));
  EXPECT_EQ(r.left, parent.left + ((parent.right - parent.left) - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, parent.top + ((parent.bottom - parent.top) - (r.bottom - r.top)) / 2);
  EXPECT_EQ(GetWindow(window_handle(3), GW_OWNER), window_handle(2));
  // POS_IGNORE lets the platform choose, nowhere near -65535.
  ASSERT_NE(window_open(4, POS_IGNORE, POS_IGNORE, 100, 60, "free"), 0u);
  r = rect_of(window_handle(4));
  EXPECT_GT(r.left, -1000);
  EXPECT_GT(r.top, -1000);
}

TEST_F(WindowTest, close_box_raises_close_event_and_the_window_stays) {
  ASSERT_NE(window_open(1, 200, 150, 300, 200, "Schliessen"), 0u);
  const HWND h = window_handle(1);
  pump_for(300);
  ASSERT_TRUE(bring_to_front(h));
  POINT box{};
  ASSERT_TRUE(close_box_of(h, &box));
  click_at(box.x, box.y);
  const auto seen = pump_until([](const auto& s) { return saw(s, EVENT_CLOSE_WINDOW); });
  bool close_for_window_1 = false;
  for (const SeenEvent& e : seen)
    if (e.code == EVENT_CLOSE_WINDOW && e.type == 0 && e.gadget == 1 && e.window == 1)
      close_for_window_1 = true;
  EXPECT_TRUE(close_for_window_1);
  pump_for(200);
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(window_handle(1), h);
}

TEST_F(WindowTest, minimise_restore_and_maximise_raise_their_events) {
  ASSERT_NE(window_open(1, 100, 100, 300, 200, "Groesse", 0x00CF0000), 0u);
  const HWND h = window_handle(1);
  pump_for(300);
  const std::initializer_list<std::int64_t> window_events{
      EVENT_SIZE_WINDOW, EVENT_MINIMIZE_WINDOW, EVENT_MAXIMIZE_WINDOW, EVENT_RESTORE_WINDOW};
  auto after = [&](WPARAM command, std::int64_t last) {
    PostMessageA(h, WM_SYSCOMMAND, command, 0);
    auto seen = pump_until([&](const auto& s) { return saw(s, last); });
    auto rest = pump_for(300);
    seen.insert(seen.end(), rest.begin(), rest.end());
    std::vector<SeenEvent> queued;  // the queued window events (type 0), not raw messages
    for (const SeenEvent& e : seen)
      if (e.type == 0) queued.push_back(e);
    return codes_among(queued, window_events);
  };
  EXPECT_EQ(after(SC_MINIMIZE, EVENT_MINIMIZE_WINDOW),
            (std::vector<std::int64_t>{EVENT_MINIMIZE_WINDOW}));
  EXPECT_TRUE(IsIconic(h));
  EXPECT_EQ(after(SC_RESTORE, EVENT_SIZE_WINDOW),
            (std::vector<std::int64_t>{EVENT_RESTORE_WINDOW, EVENT_SIZE_WINDOW}));
  EXPECT_EQ(after(SC_MAXIMIZE, EVENT_SIZE_WINDOW),
            (std::vector<std::int64_t>{EVENT_MAXIMIZE_WINDOW, EVENT_SIZE_WINDOW}));
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_EQ(after(SC_RESTORE, EVENT_SIZE_WINDOW),
            (std::vector<std::int64_t>{EVENT_RESTORE_WINDOW, EVENT_SIZE_WINDOW}));
}

TEST_F(WindowTest, closing_a_window_removes_its_queued_events) {
  ASSERT_NE(window_open(2, 0, 0, 100, 60, "zwei"), 0u);
  ASSERT_NE(window_open(3, 200, 0, 100, 60, "drei"), 0u);
  drain_events();
  SendMessageA(window_handle(2), WM_CLOSE, 0, 0);
  SendMessageA(window_handle(3), WM_CLOSE, 0, 0);
  SendMessageA(window_handle(2), WM_MOVE, 0, 0);
  window_close(2);
  bool any_for_2 = false, close_for_3 = false;
  for (const SeenEvent& e : pump_for(300)) {
    if (e.window == 2 || (e.code == EVENT_CLOSE_WINDOW && e.gadget == 2)) any_for_2 = true;
    if (e.code == EVENT_CLOSE_WINDOW && e.type == 0 && e.gadget == 3) close_for_3 = true;
  }
  EXPECT_FALSE(any_for_2);
  EXPECT_TRUE(close_for_3);
}

TEST_F(WindowTest, sizing_loop_tracks_mouse_and_keys_when_full_window_dragging_is_on) {
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
  ASSERT_NE(window_open(1, 100, 100, 300, 200, "Ziehen", 0x00CF0000), 0u);
  const HWND h = window_handle(1);
  pump_for(300);
  RECT start = rect_of(h);
  // The mouse drags the bottom-right corner; the loop keeps event_wait going.
  SendMessageA(h, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, 0);
  EXPECT_EQ(GetCapture(), h);
  POINT screen_target{start.right + 40, start.bottom + 30};
  POINT client_target = screen_target;
  ScreenToClient(h, &client_target);
  PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(client_target.x, client_target.y));
  auto seen = pump_for(300);
  RECT r = rect_of(h);
  EXPECT_EQ(r.right, screen_target.x);
  EXPECT_EQ(r.bottom, screen_target.y);
  EXPECT_EQ(r.left, start.left);
  // Too small: clamped to the minimum tracking size, the top-left corner stays.
  client_target = POINT{start.left + 2, start.top + 2};
  ScreenToClient(h, &client_target);
  PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(client_target.x, client_target.y));
  pump_for(200);
  r = rect_of(h);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYMINTRACK));
  EXPECT_EQ(r.left, start.left);
  PostMessageA(h, WM_LBUTTONUP, 0, 0);
  auto rest = pump_for(300);
  seen.insert(seen.end(), rest.begin(), rest.end());
  EXPECT_NE(GetCapture(), h);
  EXPECT_EQ(codes_among(seen, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
            (std::vector<std::int64_t>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
  EXPECT_FALSE(saw(seen, EVENT_LEFT_CLICK));  // the button-up ended the loop, no click

  // From the keyboard: Right chooses the right edge, then each Right moves it
  // by 10 pixels; Escape ends the loop and the cursor goes back.
  SetCursorPos(20, 20);
  start = rect_of(h);
  SendMessageA(h, WM_SYSCOMMAND, SC_SIZE, 0);
  PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
  pump_for(200);
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, start.right);
  EXPECT_EQ(rect_of(h).right, start.right);
  PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
  pump_for(200);
  EXPECT_EQ(rect_of(h).right, start.right + 20);
  PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
  pump_for(200);
  EXPECT_NE(GetCapture(), h);
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 20);
  EXPECT_EQ(cursor.y, 20);
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
}

}  // namespace
