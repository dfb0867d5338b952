// The handover from a window's procedure to the gadget that a message
// concerns (a control's command, notification, scroll or colour message):
// the gadget kind's control handler, which gadgets_join_runtime registers
// with the core (window_set_control_handler, gui/core/window_hooks.h).
#pragma once

#include <windows.h>

#include <cstdint>

// The gadget's answer, or NOT_HANDLED when no gadget handles the message.
std::int64_t gadget_dispatch(HWND control, HWND parent, UINT message, WPARAM first, LPARAM second);
