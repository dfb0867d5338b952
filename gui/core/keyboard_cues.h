// Keyboard cues and the accelerator table on the platform side of
// gui/core/keyboard.h.
#pragma once

#include <windows.h>

// Shows or hides focus rectangles and accelerator underlines in a window.
void keyboard_cues_show(HWND window);
void keyboard_cues_hide(HWND window);

// The accelerator table that translates the next key message for the active
// window, or null; shows the cues when a modifier is down.
HACCEL keyboard_accelerator_table(HWND active);
