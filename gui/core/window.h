// Toolkit windows: numbered top-level windows whose platform messages become
// toolkit events (gui/core/events.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/core/window_style.h"
#include "runtime/registry.h"

// Joins the event queue with its hidden post-event window and the window
// kind to the runtime's start-up and shutdown. The modules above join their
// own kinds (gadgets_join_runtime, drag_drop_join_runtime).
void windows_join_runtime();

// Sizes are in the toolkit's units: pixels at 96 DPI, which the window shows
// scaled to the DPI of its screen (gui/core/window_dpi.h). Positions on the
// screen are the platform's pixels.
//
// Opens a window of the given inner size. The platform window handle for a
// number, the window's handle in the registry for ANY_OBJECT, 0 on failure.
// A null title is the empty string.
std::uintptr_t window_open(object_number number, int x, int y, int inner_width, int inner_height,
                           const char* title, std::uint32_t flags = WINDOW_DEFAULT_FLAGS,
                           HWND parent = nullptr);
// Destroys the window and its object; -1 closes every window.
void window_close(object_number number);
// Inner (client) size by default; with inner = 0 the outer frame size. The
// inner height counts a menu bar. 0 for a number that names no window.
std::int64_t window_width(object_number number, int inner = 1);
std::int64_t window_height(object_number number, int inner = 1);
HWND window_handle(object_number number);
// A null text changes nothing.
void window_set_title(object_number number, const char* text);
// Into (on != 0) or out of the topmost band, without moving or sizing.
void window_set_topmost(object_number number, int on);
// The largest inner size that a window opened with these flags and
// WINDOW_SCREEN_CENTERED can have and still lie inside the screen's work
// area (the screen less the task bar).
struct WindowSize {
  int width, height;
};
WindowSize window_room_on_screen(std::uint32_t flags);
