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
// A premultiplied copy for drawing with per-pixel alpha when the picture is
// a bitmap with alpha, else null.
HBITMAP picture_prepared_copy(HANDLE picture, bool disabled);
