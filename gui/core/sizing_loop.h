// The toolkit's own sizing loop. When full-window dragging is on, a
// window's size command does not enter the platform's modal sizing loop;
// the window procedure tracks the resize message by message instead, so
// that event_wait keeps returning events while the user resizes.
#pragma once

#include <windows.h>

#include <cstdint>

// Sees every message of a toolkit window first: the result when the loop
// consumed the message, else NOT_HANDLED.
std::int64_t sizing_loop_filter(HWND window, UINT message, WPARAM first, LPARAM second);
// Ends a loop that is still running (shutdown).
void sizing_loop_abandon();
