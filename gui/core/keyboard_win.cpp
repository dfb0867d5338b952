// Keyboard cues and the accelerator choice from the platform's key states.
#include "gui/core/keyboard_cues.h"

#include "gui/core/keyboard.h"
#include "gui/core/window_object.h"

namespace {

bool key_down(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

void update_cues(HWND window, bool show) {
  if (!window) return;
  const auto state = static_cast<unsigned>(SendMessageA(window, UI_STATE_QUERY, 0, 0));
  if (const std::uintptr_t update = keyboard_cue_update(state, show))
    SendMessageA(window, UI_STATE_UPDATE, update, 0);
}

bool writable_rich_edit(HWND control) {
  if (!control) return false;
  char class_name[50] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  if (!keyboard_is_rich_edit_class(class_name)) return false;
  return (SendMessageA(control, RICH_EDIT_GET_OPTIONS, 0, 0) & RICH_EDIT_READ_ONLY) == 0;
}

WindowObject* toolkit_window_of_process(HWND window) {
  if (!window) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  const auto id = reinterpret_cast<std::intptr_t>(GetPropA(window, WINDOW_ID_PROPERTY));
  return id != 0 ? window_object(id - 1) : nullptr;
}

}  // namespace

void keyboard_cues_show(HWND window) {
  update_cues(window, true);
}

void keyboard_cues_hide(HWND window) {
  update_cues(window, false);
}

HACCEL keyboard_accelerator_table(HWND active) {
  const HWND focus = GetFocus();
  const KeyboardState keys{focus != nullptr, key_down(VK_TAB), key_down(VK_CONTROL),
                           key_down(VK_SHIFT), key_down(VK_MENU)};
  // The read-only query is only sent in the one case where it matters.
  const bool tab_alone = keys.control_has_focus && keys.tab_down && !keys.ctrl_down &&
                         !keys.shift_down && !keys.alt_down;
  WindowObject* object = toolkit_window_of_process(active);
  const AcceleratorChoice choice =
      keyboard_choose_accelerators(keys, tab_alone && writable_rich_edit(focus), object != nullptr);
  if (choice.show_cues) keyboard_cues_show(active);
  return choice.use_window_table && object ? object->accelerator_table : nullptr;
}
