// Requesters and fonts under Wine: the answers, the windows disabled and
// taken out of the topmost band only while the box is up, a screenshot of
// the box over a window, and fonts by point size and flags.
#include "gui/core/requester.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "gui/core/fonts.h"
#include "gui/core/window.h"
#include "support/input.h"
#include "support/message_box_answerer.h"
#include "support/screenshot.h"
#include "support/toolkit_fixture.h"

namespace {

using RequesterTest = ToolkitTest;

bool topmost(HWND window) {
  return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST_F(RequesterTest, yes_and_no_answers_and_the_windows_come_back_as_they_were) {
  ASSERT_NE(window_open(1, 0, 0, 350, 330, "Hauptfenster", 0x00C80001), 0u);
  ASSERT_NE(window_open(2, 20, 20, 200, 100, "Nebenfenster"), 0u);
  ASSERT_NE(window_open(3, 60, 60, 200, 100, "Gesperrt"), 0u);
  const HWND main = window_handle(1), other = window_handle(2), locked = window_handle(3);
  EnableWindow(locked, FALSE);
  window_set_topmost(1, 1);
  pump_for(300);
  ASSERT_TRUE(bring_to_front(main));

  bool other_disabled_while_up = false, locked_disabled_while_up = false;
  bool main_topmost_while_up = true;
  HWND owner = nullptr;
  std::string shot;
  {
    MessageBoxAnswerer answerer("Frage", IDYES, [&](HWND box) {
      other_disabled_while_up = !IsWindowEnabled(other);
      locked_disabled_while_up = !IsWindowEnabled(locked);
      main_topmost_while_up = topmost(main);
      owner = GetWindow(box, GW_OWNER);
      shot = take_screenshot("requester_over_window");
    });
    EXPECT_EQ(requester_message("Frage", "Sollen die Bilder verkleinert werden?", 4), 6);
    EXPECT_TRUE(answerer.finish());
  }
  EXPECT_TRUE(other_disabled_while_up);
  EXPECT_TRUE(locked_disabled_while_up);
  EXPECT_FALSE(main_topmost_while_up);
  EXPECT_EQ(owner, main);
  EXPECT_FALSE(shot.empty()) << "no screenshot arrived";
  // Afterwards: topmost again, exactly the windows enabled before enabled.
  EXPECT_TRUE(topmost(main));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_FALSE(IsWindowEnabled(locked));

  ASSERT_TRUE(bring_to_front(main));
  {
    MessageBoxAnswerer answerer("Noch einmal", IDNO);
    EXPECT_EQ(requester_message("Noch einmal", "Nein?", 4), 7);
    EXPECT_TRUE(answerer.finish());
  }
  {
    MessageBoxAnswerer answerer("Hinweis", IDOK);
    EXPECT_EQ(requester_message("Hinweis", "Fertig."), 1);
    EXPECT_TRUE(answerer.finish());
  }
  EXPECT_TRUE(topmost(main));
  EXPECT_TRUE(IsWindowEnabled(other));
}

// The resize job reports a failure from its own thread: the box belongs
// above the topmost main window and is modal for it.
TEST_F(RequesterTest, requester_from_a_worker_thread_is_owned_by_the_main_window_and_modal) {
  ASSERT_NE(window_open(1, 0, 0, 200, 100, "Haupt"), 0u);
  const HWND main = window_handle(1);
  window_set_topmost(1, 1);
  pump_for(200);
  std::int64_t answer = 0;
  HWND owner = nullptr;
  bool main_enabled_while_up = true, box_topmost = false;
  std::string shot;
  MessageBoxAnswerer answerer("Aus dem Auftrag", IDOK, [&](HWND box) {
    owner = GetWindow(box, GW_OWNER);
    main_enabled_while_up = IsWindowEnabled(main);
    box_topmost = topmost(box);
    shot = take_screenshot("requester_from_worker");
  });
  std::thread worker([&] { answer = requester_message("Aus dem Auftrag", "Fehler", 0); });
  // The main thread keeps pumping while the worker's box is up.
  pump_until([&](const auto&) { return answer != 0; }, 20000);
  worker.join();
  EXPECT_TRUE(answerer.finish());
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(owner, main);
  EXPECT_FALSE(main_enabled_while_up);
  EXPECT_TRUE(box_topmost);
  EXPECT_FALSE(shot.empty()) << "no screenshot arrived";
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(topmost(main));
}

TEST_F(RequesterTest, fonts_follow_size_and_flags) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 96) << "the heights below are for 96 pixels per inch";

  const std::uintptr_t handle = font_load(1, "Arial", 14, FONT_BOLD | FONT_ITALIC);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(font_handle(1)), handle);
  LOGFONTA font{};
  ASSERT_NE(GetObjectA(font_handle(1), sizeof font, &font), 0);
  EXPECT_EQ(font.lfHeight, -19);
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_TRUE(font.lfItalic);
  EXPECT_FALSE(font.lfUnderline);
  EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_STREQ(font.lfFaceName, "Arial");

  // Loading the number again replaces the font.
  const HGDIOBJ old = font_handle(1);
  ASSERT_NE(font_load(1, "Arial", 12, FONT_UNDERLINE | FONT_HIGH_QUALITY), 0u);
  EXPECT_EQ(GetObjectType(old), 0u);
  ASSERT_NE(GetObjectA(font_handle(1), sizeof font, &font), 0);
  EXPECT_EQ(font.lfHeight, -16);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_EQ(font.lfQuality, PROOF_QUALITY);

  const std::uintptr_t dynamic = font_load(ANY_OBJECT, "Arial", 10);
  ASSERT_NE(dynamic, 0u);
  const HGDIOBJ dynamic_font = font_handle(static_cast<object_number>(dynamic));
  ASSERT_NE(dynamic_font, nullptr);
  const HGDIOBJ numbered = font_handle(1);
  font_free(ANY_OBJECT);
  EXPECT_EQ(font_handle(1), nullptr);
  EXPECT_EQ(GetObjectType(numbered), 0u);
  EXPECT_EQ(GetObjectType(dynamic_font), 0u);
  EXPECT_EQ(font_handle(5), nullptr);
}

}  // namespace
