// The window procedure that every toolkit window shares. It runs on the
// main thread, inside event_wait's dispatch or inside a modal loop, and may
// be re-entered (a message it sends comes back to it). It raises direct
// events (commands, menus, timers, clicks, drops) through event_raise,
// which makes the first of a dispatch the answer and queues the rest
// (gui/core/events.h), and queues the window's own events (move, size,
// activation, repaint, close) with event_post. Messages about a control go
// to the control handler that a module above registered
// (gui/core/window_hooks.h) before the procedure makes an event of them.
#pragma once

#include <windows.h>

LRESULT CALLBACK toolkit_window_procedure(HWND window, UINT message, WPARAM first, LPARAM second);
