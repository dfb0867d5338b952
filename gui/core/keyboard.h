// Keyboard handling of event_wait: which accelerator table translates a key
// message, and the keyboard cues (focus rectangles and accelerator
// underlines) that the platform hides until the keyboard is used.
#pragma once

#include <cstdint>
#include <string_view>

struct KeyboardState {
  bool control_has_focus;
  bool tab_down;
  bool ctrl_down;
  bool shift_down;
  bool alt_down;
};

struct AcceleratorChoice {
  bool use_window_table;  // translate with the active window's table
  bool show_cues;         // show the keyboard cues on the active window
};

// Rich-edit controls take Tab as text; their class names begin with "Rich"
// (any letter case: "RichEdit20A", "RICHEDIT50W").
bool keyboard_is_rich_edit_class(std::string_view class_name);

// `focus_is_writable_rich_edit`: the focused control is a rich-edit control
// that is not read-only. `active_is_toolkit_window`: the active window is a
// toolkit window of this process.
AcceleratorChoice keyboard_choose_accelerators(const KeyboardState& keys,
                                               bool focus_is_writable_rich_edit,
                                               bool active_is_toolkit_window);

// UI-state messages and bits.
constexpr unsigned UI_STATE_UPDATE = 0x128;
constexpr unsigned UI_STATE_QUERY = 0x129;
constexpr std::uintptr_t UI_STATE_SHOW_CUES = 0x30002;  // clear both hide bits
constexpr std::uintptr_t UI_STATE_HIDE_CUES = 0x30001;  // set both hide bits
constexpr unsigned UI_STATE_HIDDEN_BITS = 0x3;          // focus rectangles, underlines
constexpr std::uintptr_t RICH_EDIT_GET_OPTIONS = 0x44E;
constexpr std::uintptr_t RICH_EDIT_READ_ONLY = 0x800;

// The update to send for the window's current UI state, or 0 for none.
std::uintptr_t keyboard_cue_update(unsigned ui_state, bool show);
