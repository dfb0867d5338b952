// Keyboard handling under Wine with real key input: Tab and Shift+Tab move
// the focus over the tab stops and wrap, the keyboard cues come on, and a
// writable rich-edit control keeps its Tab.
#include <gtest/gtest.h>

#include "gui/core/window.h"
#include "support/input.h"
#include "support/toolkit_fixture.h"

namespace {

using KeyboardTest = ToolkitTest;

HWND make_control(HWND parent, const char* class_name, DWORD style, int y, int id) {
  return CreateWindowExA(0, class_name, "", WS_CHILD | WS_VISIBLE | style, 10, y, 150, 22, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// Presses a key and runs the loop until the focus changes or time is up.
HWND focus_after(WORD key, std::initializer_list<WORD> modifiers = {}) {
  const HWND before = GetFocus();
  press_key(key, modifiers);
  ToolkitTest::pump_until([&](const auto&) { return GetFocus() != before; }, 1500);
  ToolkitTest::pump_for(50);
  return GetFocus();
}

TEST_F(KeyboardTest, tab_cycles_the_tab_stops_and_shift_tab_goes_back) {
  ASSERT_NE(window_open(1, 100, 100, 200, 160, "Tabulator"), 0u);
  const HWND h = window_handle(1);
  const HWND first = make_control(h, "EDIT", WS_TABSTOP, 10, 1);
  make_control(h, "STATIC", 0, 40, 2);  // no tab stop
  const HWND second = make_control(h, "BUTTON", WS_TABSTOP, 70, 3);
  const HWND hidden = make_control(h, "EDIT", WS_TABSTOP, 100, 4);
  ShowWindow(hidden, SW_HIDE);  // hidden controls are skipped
  const HWND third = make_control(h, "EDIT", WS_TABSTOP, 130, 5);
  pump_for(300);
  ASSERT_TRUE(bring_to_front(h));
  SetFocus(first);
  pump_for(100);
  ASSERT_EQ(GetFocus(), first);
  EXPECT_EQ(focus_after(VK_TAB), second);
  EXPECT_EQ(focus_after(VK_TAB), third);
  EXPECT_EQ(focus_after(VK_TAB), first);              // wraps
  EXPECT_EQ(focus_after(VK_TAB, {VK_SHIFT}), third);  // back from the first: the last
  EXPECT_EQ(focus_after(VK_TAB, {VK_SHIFT}), second);
  // The keys showed the keyboard cues.
  EXPECT_EQ(SendMessageA(h, WM_QUERYUISTATE, 0, 0) & (UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

TEST_F(KeyboardTest, writable_rich_edit_keeps_tab_and_read_only_one_passes_it_on) {
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  ASSERT_NE(window_open(1, 100, 100, 200, 100, "Rich"), 0u);
  const HWND h = window_handle(1);
  const HWND rich = make_control(h, "RichEdit20A", WS_TABSTOP | ES_MULTILINE, 10, 1);
  const HWND next = make_control(h, "EDIT", WS_TABSTOP, 50, 2);
  ASSERT_NE(rich, nullptr);
  pump_for(300);
  ASSERT_TRUE(bring_to_front(h));
  SetFocus(rich);
  pump_for(100);
  press_key(VK_TAB);
  pump_until([&](const auto&) { return GetWindowTextLengthA(rich) > 0; }, 1500);
  EXPECT_EQ(GetFocus(), rich);
  char text[8] = {};
  GetWindowTextA(rich, text, sizeof text);
  EXPECT_STREQ(text, "\t");
  SendMessageA(rich, EM_SETREADONLY, TRUE, 0);
  EXPECT_EQ(focus_after(VK_TAB), next);
}

}  // namespace
