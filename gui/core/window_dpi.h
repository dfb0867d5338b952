// The DPI of toolkit windows, on the platform (the rules are in dpi.h).
// A window learns its DPI when it opens, from the screen it is on, and again
// from every WM_DPICHANGED; the toolkit lays out the window and the gadgets
// in it for that DPI. The calls that ask the platform for DPIs came with
// Windows 10 (1607); on an older Windows every window has the system's DPI.
//
// On WM_DPICHANGED the toolkit window takes the rectangle the platform
// suggests and sends WM_DPICHANGED_AFTERPARENT to each of its child windows,
// on which a gadget moves, sizes and changes its font for the new DPI.
// Windows sends that message itself as well (to programs that are per-monitor
// aware): whoever handles it must find nothing to do the second time.
#pragma once

#include <windows.h>

// The platform's messages (Windows 8.1 and 10), beyond what this build's
// headers declare for Windows 7.
constexpr UINT DPI_CHANGED_MESSAGE = 0x02E0;
constexpr UINT DPI_CHANGED_AFTER_PARENT_MESSAGE = 0x02E3;

// The system's DPI: the display's logical inch, for which fonts are made
// (font_load, the platform's stock fonts).
int dpi_of_system();
// The DPI at which the toolkit shows `window` (a toolkit window, or a
// control inside one): that of its toolkit window; the platform's for a
// window outside the toolkit.
int dpi_of_window(HWND window);
// The DPI of the screen the window is on, as the platform reports it.
int dpi_of_screen_under(HWND window);
// A system metric (SM_CXSMICON, SM_CXEDGE, ...) at a DPI; scaled from the
// system's own where the platform cannot tell it for a DPI.
int dpi_system_metric(int index, int dpi);
// Grows a client rectangle to the window's outer rectangle for its styles,
// without a menu, with the frame the platform draws at that DPI.
void dpi_adjust_window_rect(RECT* rect, DWORD style, DWORD ex_style, int dpi);
