// Pictures in gadgets: the size of a bitmap or icon and its drawing with
// the platform's state drawing, shared by the image and image button kinds.
#pragma once

#include <windows.h>

bool picture_is_bitmap(HANDLE picture);
// A bitmap's size; an icon's is its mask's, half as high when the icon has
// no colour bitmap (the mask then holds two pictures). 0 x 0 for anything else.
SIZE picture_size(HANDLE picture);
// Draws a bitmap or an icon at (x, y), greyed when `disabled`.
void picture_draw_state(HDC context, HANDLE picture, int x, int y, bool disabled);
// The size a picture is shown at in a window of `dpi`: its own scaled by
// DPI / 96 (gui/core/dpi.h).
SIZE picture_display_size(HANDLE picture, int dpi);
// What a gadget draws for a bitmap in a window of `dpi`: a premultiplied
// copy for drawing with per-pixel alpha, at the display size, greyed when
// `disabled`. Null for an opaque bitmap shown at its own size and for an
// icon: those are drawn as they are. A copy at another size is resampled
// smoothly, from `detailed` (the same picture drawn larger, which stays
// sharp when it is made smaller) when it is given and large enough.
HBITMAP picture_prepared_copy(HANDLE picture, bool disabled, int dpi = 96,
                              HANDLE detailed = nullptr);
