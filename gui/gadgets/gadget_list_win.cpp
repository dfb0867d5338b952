// The current gadget list and the per-window saves of it. A window becomes
// a gadget list once; from then on a procedure in front of it frees its
// save when the window is destroyed and, if it was current, leaves the
// toolkit without a gadget list.
#include "gui/gadgets/gadget_list.h"

#include <cstdio>

#include "gui/gadgets/gadget_kind.h"
#include "runtime/heap.h"
#include "runtime/lifecycle.h"
#include "runtime/state_block.h"

namespace {

constexpr std::int32_t kInitialStack = 10;

GadgetListState* list_state = nullptr;

// "ZQ_GadgetStack_<module instance>".
struct SaveProperty {
  char text[48];
  SaveProperty() {
    std::snprintf(text, sizeof text, "ZQ_GadgetStack_%lld",
                  static_cast<long long>(reinterpret_cast<std::intptr_t>(runtime_instance())));
  }
};

GadgetListSave* save_of(HWND window) {
  return static_cast<GadgetListSave*>(GetPropA(window, SaveProperty().text));
}

HWND current_list(const GadgetListState* state) {
  return state->stack_depth > 0 ? state->container_stack[0] : state->current_parent;
}

LRESULT CALLBACK gadget_list_procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_NCDESTROY)
    if (GadgetListSave* save = save_of(window)) {
      if (list_state && current_list(list_state) == window) {
        list_state->current_parent = nullptr;
        list_state->stack_depth = 0;
      }
      runtime_free(save->saved_stack);
      runtime_free(save);
      RemovePropA(window, SaveProperty().text);
    }
  return window_pass_on(gadget_list_procedure, window, message, first, second);
}

void save_into(GadgetListState* state, GadgetListSave* save) {
  save->saved_parent = state->current_parent;
  save->saved_stack = state->container_stack;
  save->saved_depth = state->stack_depth;
  save->saved_capacity = state->stack_capacity;
  state->container_stack = nullptr;
}

void restore_from(GadgetListState* state, GadgetListSave* save) {
  runtime_free(state->container_stack);
  state->current_parent = save->saved_parent;
  state->container_stack = save->saved_stack;
  state->stack_depth = save->saved_depth;
  state->stack_capacity = save->saved_capacity;
  save->saved_stack = nullptr;
}

void become_list(GadgetListState* state, HWND window) {
  if (!state->container_stack) {
    state->container_stack = static_cast<HWND*>(runtime_alloc(kInitialStack * sizeof(HWND)));
    state->stack_capacity = state->container_stack ? kInitialStack : 0;
  }
  state->stack_depth = 0;
  state->current_parent = window;
  auto* save = static_cast<GadgetListSave*>(runtime_alloc(sizeof(GadgetListSave)));
  if (!save) return;
  save->window = window;
  SetPropA(window, SaveProperty().text, save);
  window_subclass(window, gadget_list_procedure);
}

}  // namespace

void gadget_list_start() {
  list_state =
      static_cast<GadgetListState*>(state_block_create(sizeof(GadgetListState), nullptr, nullptr));
  if (list_state) list_state->current_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void gadget_list_end() {
  list_state = nullptr;
}

GadgetListState* gadget_list_state() {
  return list_state ? static_cast<GadgetListState*>(state_block_get(list_state)) : nullptr;
}

HWND gadget_list_use(HWND window) {
  GadgetListState* state = gadget_list_state();
  if (!state) return nullptr;
  const HWND previous = current_list(state);
  if (!window) return previous;
  if (previous)
    if (GadgetListSave* save = save_of(previous)) save_into(state, save);
  if (GadgetListSave* save = save_of(window))
    restore_from(state, save);
  else
    become_list(state, window);
  return previous;
}
