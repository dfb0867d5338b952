// How the modules above the core take part in toolkit windows. The core
// knows nothing of gadgets or drag and drop; instead it offers these
// registrations, and each module joins them when it joins the runtime (its
// *_join_runtime function), once for the process.
//
// Every hook runs on the thread that owns the window (the toolkit's main
// thread, gui/core/toolkit_thread.h), inside that window's message handling.
#pragma once

#include <windows.h>

#include <cstdint>

// The handler of the messages a window receives about one of its controls:
// commands, notifications, scroll and control-colour messages and the
// toolkit's private message 13120. It answers NOT_HANDLED when the control
// is none of its own; the window procedure then makes its own event of the
// message. One handler (the gadget kind's); a second registration replaces
// the first. Without one, every such message is NOT_HANDLED.
using WindowControlHandler = std::int64_t (*)(HWND control, HWND parent, UINT message, WPARAM first,
                                              LPARAM second);
void window_set_control_handler(WindowControlHandler handler);
// What the window procedure calls.
std::int64_t window_control_message(HWND control, HWND parent, UINT message, WPARAM first,
                                    LPARAM second);

// Called by window_open for every new window that was not opened with
// WINDOW_NO_GADGET_LIST, after it is shown (the gadget list makes it the
// current one). One hook; a second registration replaces the first.
using WindowOpenHook = void (*)(HWND window);
void window_set_open_hook(WindowOpenHook hook);
void window_opened(HWND window);

// Called for a toolkit window that is being closed (window_close, before
// the platform window is destroyed) and for a gadget's control that is
// being destroyed (the gadget procedure, on its non-client destroy): what a
// module attached to it goes (drag and drop revokes its drop target).
// Several hooks, each once, in the order they were added.
using WindowReleaseHook = void (*)(HWND window);
void window_add_release_hook(WindowReleaseHook hook);
void window_released(HWND window);
