// event_wait: one toolkit event per call, from the queue first, else from
// the thread's platform message queue through the window procedure.
#include <windows.h>

#include "gui/core/event_state.h"
#include "gui/core/events.h"
#include "gui/core/keyboard_cues.h"

namespace {

constexpr DWORD kWakeOnAnyInput = 0x5FF;

// One message of the thread, or false when none came in time.
bool next_message(std::int64_t timeout_ms, MSG* message) {
  if (timeout_ms == -1) return GetMessageA(message, nullptr, 0, 0) != -1;
  if (PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return true;
  if (timeout_ms == 0) return false;
  const DWORD waited =
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout_ms), kWakeOnAnyInput);
  if (waited == WAIT_TIMEOUT) return false;
  return PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) != 0;
}

void dispatch(MSG* message) {
  const HWND active = GetActiveWindow();
  const HACCEL table = keyboard_accelerator_table(active);
  if (table && TranslateAcceleratorA(active, table, message)) {
    keyboard_cues_show(active);
    return;
  }
  TranslateMessage(message);
  DispatchMessageA(message);
}

}  // namespace

std::int64_t event_wait(std::int64_t timeout_ms) {
  EventState* state = event_state();
  if (!state) return 0;
  event_state_begin_wait(state);
  std::int64_t code = 0;
  if (event_state_take_queued(state, &code)) return event_state_finish(state, code);
  MSG message{};
  if (!next_message(timeout_ms, &message)) return event_state_finish(state, 0);
  // Direct events come back to this call only while it dispatches; what a
  // window procedure raises at any other time is queued (event_raise).
  const bool outer_dispatch = state->dispatching;
  state->dispatching = true;
  dispatch(&message);
  state->dispatching = outer_dispatch;
  if (state->current.pending_code != 0) {
    code = state->current.pending_code;
    state->current.pending_code = 0;
  } else {
    code = message.message;
    state->current.wparam = static_cast<std::int64_t>(message.wParam);
    state->current.lparam = static_cast<std::int64_t>(message.lParam);
  }
  return event_state_finish(state, code);
}
