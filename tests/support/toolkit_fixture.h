// A fixture for tests with real windows: the runtime with the windowing
// toolkit's core (event queue, windows, fonts) is brought up before each
// test and torn down afterwards; the fixtures of the modules above join
// theirs too (tests/support/gadget_support.h). A test that finds no display
// fails: run it inside Xvfb.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <vector>

#include "gui/core/event_state.h"
#include "gui/core/events.h"
#include "gui/core/fonts.h"
#include "gui/core/window.h"
#include "support/runtime_fixture.h"

// True when the platform has a screen to put windows on.
inline bool display_available() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return false;
  if (GetSystemMetrics(SM_CXSCREEN) <= 0) return false;
  HWND probe =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

class ToolkitTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() {
    windows_join_runtime();
    fonts_join_runtime();
  }
  void SetUp() override {
    ASSERT_TRUE(display_available()) << "no display: GUI tests run inside Xvfb";
    RuntimeTest::SetUp();
  }

 public:
  // Every event up to the first 0 of event_wait(0), at most `limit`.
  static std::vector<std::int64_t> drain_events(int limit = 1000) {
    std::vector<std::int64_t> codes;
    for (int i = 0; i < limit; ++i) {
      const std::int64_t code = event_wait(0);
      if (code == 0) break;
      codes.push_back(code);
    }
    return codes;
  }

  struct SeenEvent {
    std::int64_t code, gadget, type, window;
  };

  // Runs event_wait until `done` accepts the events seen so far or about
  // `milliseconds` have passed; keeps every event but the time-outs.
  static std::vector<SeenEvent> pump_until(
      const std::function<bool(const std::vector<SeenEvent>&)>& done, int milliseconds = 3000) {
    std::vector<SeenEvent> seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      const std::int64_t code = event_wait(10);
      if (code != 0) seen.push_back({code, event_gadget(), event_type(), last_event_window()});
      if (done && done(seen)) break;
    }
    return seen;
  }
  static std::vector<SeenEvent> pump_for(int milliseconds) {
    return pump_until(nullptr, milliseconds);
  }

  // The codes among `seen` that are in `wanted`, in order.
  static std::vector<std::int64_t> codes_among(const std::vector<SeenEvent>& seen,
                                               std::initializer_list<std::int64_t> wanted) {
    std::vector<std::int64_t> codes;
    for (const SeenEvent& e : seen)
      for (std::int64_t w : wanted)
        if (e.code == w) codes.push_back(e.code);
    return codes;
  }
  static bool saw(const std::vector<SeenEvent>& seen, std::int64_t code) {
    for (const SeenEvent& e : seen)
      if (e.code == code) return true;
    return false;
  }

  static std::int64_t last_event_window() {
    EventState* state = event_state();
    return state ? state->returned.window : -1;
  }
};
