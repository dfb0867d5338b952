// Shared solid brushes for gadget background colours, one per colour with a
// count of its users. Any thread may use them (under the gadget lock).
#pragma once

#include <windows.h>

// A brush of the colour (0x00BBGGRR); null when none can be made.
HBRUSH brush_cache_take(COLORREF color);
// Gives a brush back; the last user's release deletes it. Null does nothing.
void brush_cache_release(HBRUSH brush);
