// The window kind's records and look-ups, shared by the parts of the
// toolkit that handle windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/registry.h"

struct WindowObject {
  HWND handle;
  ACCEL* accelerators;  // two entries, runtime heap
  HACCEL accelerator_table;
  std::int32_t accelerator_count;
  HWND mdi_client;          // the hosting MDI client of an MDI child, else null
  std::int32_t min_or_max;  // 1 while minimised or maximised
  std::int32_t dpi;         // the DPI the window is laid out for (gui/core/window_dpi.h)
};

// Window properties of the toolkit.
constexpr const char* WINDOW_ID_PROPERTY = "ZQ_WindowID";
constexpr const char* FOCUS_PROPERTY = "ZQ_Focus";
constexpr const char* MDI_GADGET_PROPERTY = "ZQ_MDI_Gadget";

// Gives the window the program's icons at the sizes of its DPI: each taken
// from the program's icon group at the nearest size, never stretched from
// another DPI's.
void window_set_icons(HWND window, int dpi);

// The window's object, or null.
WindowObject* window_object(object_number number);

// The toolkit window that holds `window` (itself or the nearest ancestor
// with a window number), as its number and, when `found` is given, its
// handle; false when there is none.
bool window_number_of(HWND window, std::int64_t* number, HWND* found = nullptr);
