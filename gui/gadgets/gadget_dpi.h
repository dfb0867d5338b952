// Gadgets at their window's DPI (gui/core/dpi.h). The program gives a
// gadget's place in the toolkit's units and fonts made for the system's
// DPI; the control sits at the place scaled to the DPI of its window and
// shows its font scaled from the system's DPI to that one. When the
// window's DPI changes (gui/core/window_dpi.h), each gadget takes its place
// and font for the new DPI on WM_DPICHANGED_AFTERPARENT, in the gadget
// procedure, before its kind sees the message: kinds with pictures or
// columns follow on the same message.
//
// Main thread only, as every change of a gadget's control.
#pragma once

#include <windows.h>

#include "gui/gadgets/gadget_kind.h"

// The rectangle in pixels of a place at a DPI.
GadgetArea gadget_area_at(const GadgetArea& place, int dpi);

// The font a control shows at `dpi` for `font`, made for the system's DPI:
// the font itself at the system's DPI, else a copy scaled to `dpi`, which
// the toolkit keeps (one for each font and DPI) until the gadgets end.
HFONT gadget_display_font(HFONT font, int dpi);
void gadget_display_fonts_end();

// Gives the control the gadget's font at its DPI, through the kind's
// set_font or the platform's set-font message.
void gadget_show_font(GadgetObject* gadget);

// A new size in pixels for a gadget that sizes itself (to its picture);
// its place follows in the toolkit's units.
void gadget_set_pixel_size(GadgetObject* gadget, int width, int height);

// Lays the gadget out for its window's DPI, unless it is laid out for that
// DPI already (then false).
bool gadget_follow_dpi(GadgetObject* gadget);
