// The accelerator choice and the keyboard cue rule.
#include "gui/core/keyboard.h"

#include "runtime/strings.h"

bool keyboard_is_rich_edit_class(std::string_view class_name) {
  return ascii_starts_with_nocase(class_name, "Rich");
}

AcceleratorChoice keyboard_choose_accelerators(const KeyboardState& keys,
                                               bool focus_is_writable_rich_edit,
                                               bool active_is_toolkit_window) {
  const bool modifier = keys.ctrl_down || keys.shift_down || keys.alt_down;
  // A plain Tab in a writable rich-edit control is typed into the text.
  if (keys.control_has_focus && keys.tab_down && !modifier && focus_is_writable_rich_edit)
    return {false, false};
  return {active_is_toolkit_window, modifier};
}

std::uintptr_t keyboard_cue_update(unsigned ui_state, bool show) {
  const unsigned hidden = ui_state & UI_STATE_HIDDEN_BITS;
  if (show) return hidden != 0 ? UI_STATE_SHOW_CUES : 0;
  return hidden != UI_STATE_HIDDEN_BITS ? UI_STATE_HIDE_CUES : 0;
}
