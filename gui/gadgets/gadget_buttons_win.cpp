// Button and check box gadgets. A click reaches the window procedure as the
// button's command notification and becomes a direct EVENT_GADGET of type 0.
#include "gui/gadgets/gadgets.h"

#include "gui/gadgets/gadget_buttons.h"
#include "gui/gadgets/gadget_kind.h"

namespace {

constexpr DWORD kButtonStyle = 0x50030000;  // child, visible, group, tab stop
constexpr DWORD kAutomaticCheckBox = 3;

struct CheckBoxFields {
  std::int64_t three_state;
};

std::int64_t checkbox_get_state(GadgetObject* gadget) {
  switch (SendMessageA(gadget->handle, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
      return 1;
    case BST_INDETERMINATE:
      return -1;
    default:
      return 0;
  }
}

// 0 unchecks; -1 makes a three-state box indeterminate and checks any other.
void checkbox_set_state(GadgetObject* gadget, std::int64_t value) {
  WPARAM check = BST_CHECKED;
  if (value == 0)
    check = BST_UNCHECKED;
  else if (value == -1 && gadget_fields<CheckBoxFields>(gadget).three_state)
    check = BST_INDETERMINATE;
  SendMessageA(gadget->handle, BM_SETCHECK, check, 0);
}

// A three-state box is not automatic: a click toggles it between checked
// and unchecked by hand, and still becomes the click event.
std::int64_t checkbox_parent_message(GadgetObject* gadget, HWND, UINT message, WPARAM first,
                                     LPARAM) {
  if (message == WM_COMMAND && HIWORD(first) == BN_CLICKED &&
      gadget_fields<CheckBoxFields>(gadget).three_state) {
    const bool checked = SendMessageA(gadget->handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageA(gadget->handle, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
  }
  return NOT_HANDLED;
}

constexpr GadgetKind kButtonKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_BUTTON);
  kind.get_state = button_get_state;
  kind.set_state = button_set_state;
  return kind;
}();

constexpr GadgetKind kCheckBoxKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_CHECKBOX);
  kind.on_parent_message = checkbox_parent_message;
  kind.get_state = checkbox_get_state;
  kind.set_state = checkbox_set_state;
  return kind;
}();

}  // namespace

std::int64_t button_get_state(GadgetObject* gadget) {
  return SendMessageA(gadget->handle, BM_GETCHECK, 0, 0) & BST_CHECKED;
}

void button_set_state(GadgetObject* gadget, std::int64_t value) {
  SendMessageA(gadget->handle, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::uintptr_t gadget_create_button(object_number number, int x, int y, int width, int height,
                                    const char* text, std::uint32_t flags) {
  const HWND control =
      gadget_create_control("Button", text, flags | kButtonStyle, 0, x, y, width, height);
  return gadget_creation_result(number, gadget_register(number, control, &kButtonKind));
}

std::uintptr_t gadget_create_checkbox(object_number number, int x, int y, int width, int height,
                                      const char* text, std::uint32_t flags) {
  const bool three_state = (flags & CHECKBOX_THREE_STATE) == CHECKBOX_THREE_STATE;
  DWORD style = flags | kButtonStyle;
  if (!three_state) style |= kAutomaticCheckBox;
  const HWND control = gadget_create_control("Button", text, style, 0, x, y, width, height);
  const CheckBoxFields fields{three_state ? 1 : 0};
  return gadget_creation_result(number, gadget_register(number, control, &kCheckBoxKind, fields));
}
