// The one tooltip window of the toolkit and the tips of gadgets in it.
#pragma once

#include <windows.h>

// Gives `control` the tip `text` (null: empty), replacing one it had. The
// tooltip window is made on first use.
void gadget_tooltip_set(HWND control, const char* text);
// The control goes away: its tip goes with it.
void gadget_tooltip_forget(HWND control);
// Shutdown: destroys the tooltip window.
void gadget_tooltips_end();
