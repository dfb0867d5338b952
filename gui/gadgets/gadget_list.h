// The current gadget list: the window (or container) that receives new
// gadgets, the font they get, and the one tooltip window. Every window that
// has been a gadget list keeps its saved list state in a property, so that
// switching back restores it. The window procedure that the gadget-list
// procedure replaces is kept by window_subclass (gui/gadgets/gadget_kind.h).
#pragma once

#include <windows.h>

#include <cstdint>

struct GadgetListState {
  HWND current_parent;  // receives new gadgets; null when none
  HFONT current_font;   // given to every new gadget
  HWND* container_stack;
  std::int32_t stack_depth;
  std::int32_t stack_capacity;
  HWND tooltip_window;  // created on first use
};

struct GadgetListSave {
  HWND window;
  HWND saved_parent;
  HWND* saved_stack;
  std::int32_t saved_depth;
  std::int32_t saved_capacity;
};

// Start-up: the state with the stock default GUI font. Shutdown: forgets
// the state, which goes with the runtime heap.
void gadget_list_start();
void gadget_list_end();
GadgetListState* gadget_list_state();

// Makes `window` the current gadget list and returns the previous one; a
// null window only returns the current one.
HWND gadget_list_use(HWND window);
