// The registrations of gui/core/window_hooks.h. They are made while the
// runtime is joined, before any window exists, and stay for the process.
#include "gui/core/window_hooks.h"

#include <cstddef>

#include "gui/core/events.h"

namespace {

WindowControlHandler control_handler = nullptr;
WindowOpenHook open_hook = nullptr;

constexpr std::size_t kMaxReleaseHooks = 4;
WindowReleaseHook release_hooks[kMaxReleaseHooks] = {};
std::size_t release_hook_count = 0;

}  // namespace

void window_set_control_handler(WindowControlHandler handler) {
  control_handler = handler;
}

std::int64_t window_control_message(HWND control, HWND parent, UINT message, WPARAM first,
                                    LPARAM second) {
  return control_handler ? control_handler(control, parent, message, first, second) : NOT_HANDLED;
}

void window_set_open_hook(WindowOpenHook hook) {
  open_hook = hook;
}

void window_opened(HWND window) {
  if (open_hook) open_hook(window);
}

void window_add_release_hook(WindowReleaseHook hook) {
  for (std::size_t i = 0; i < release_hook_count; ++i)
    if (release_hooks[i] == hook) return;
  if (release_hook_count < kMaxReleaseHooks) release_hooks[release_hook_count++] = hook;
}

void window_released(HWND window) {
  for (std::size_t i = 0; i < release_hook_count; ++i) release_hooks[i](window);
}
