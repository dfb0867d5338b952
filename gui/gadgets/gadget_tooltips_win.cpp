// Tooltips: one tooltip window for every gadget. A tip is a tool whose
// identifier is the control's handle; the tooltip watches the control's
// mouse messages itself.
#include "gui/gadgets/gadget_tooltips.h"

#include <commctrl.h>

#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_list.h"
#include "runtime/lifecycle.h"

namespace {

constexpr DWORD kTooltipStyle = 0x80000003;  // pop-up, always tip, no prefix
constexpr UINT kToolFlags = TTF_IDISHWND | TTF_SUBCLASS;
constexpr UINT kTopWithoutMoving = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;

WNDPROC tooltip_class_procedure = nullptr;

// The tip stays above every window, topmost ones that came later included.
LRESULT CALLBACK tooltip_procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_PAINT) SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, kTopWithoutMoving);
  return CallWindowProcA(tooltip_class_procedure, window, message, first, second);
}

HWND tooltip_window(bool create) {
  GadgetListState* list = gadget_list_state();
  if (!list) return nullptr;
  if (list->tooltip_window || !create) return list->tooltip_window;
  const HWND tooltip =
      CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, kTooltipStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                      static_cast<HINSTANCE>(runtime_instance()), nullptr);
  if (!tooltip) return nullptr;
  gadget_subclass(tooltip, tooltip_procedure, &tooltip_class_procedure);
  list->tooltip_window = tooltip;
  return tooltip;
}

TTTOOLINFOA tool_of(HWND control, const char* text) {
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = kToolFlags;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text ? text : "");
  return tool;
}

}  // namespace

static_assert(sizeof(TTTOOLINFOA) == 72, "the tool description the tooltip window expects");

void gadget_tooltip_set(HWND control, const char* text) {
  const HWND tooltip = tooltip_window(true);
  if (!tooltip) return;
  TTTOOLINFOA tool = tool_of(control, text);
  SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void gadget_tooltip_forget(HWND control) {
  const HWND tooltip = tooltip_window(false);
  if (!tooltip) return;
  TTTOOLINFOA tool = tool_of(control, nullptr);
  SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void gadget_tooltips_end() {
  GadgetListState* list = gadget_list_state();
  if (!list || !list->tooltip_window) return;
  DestroyWindow(list->tooltip_window);
  list->tooltip_window = nullptr;
}
