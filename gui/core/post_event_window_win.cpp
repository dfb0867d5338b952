// The post-event window: a hidden window of the waiting thread that turns
// its registered message into a queued event. Other threads post the
// message with a heap record of the event; the record is freed here.
#include "gui/core/post_event_window.h"

#include <windows.h>

#include "gui/core/events.h"
#include "runtime/heap.h"
#include "runtime/lifecycle.h"

namespace {

constexpr const char* kClassName = "PostEventClass";

struct PostedEvent {
  std::int64_t code;
  std::int64_t gadget;
  std::int64_t window;
  std::int64_t type;
  void* data;
};

HWND post_window = nullptr;
UINT post_message = 0;

HINSTANCE instance() {
  return static_cast<HINSTANCE>(runtime_instance());
}

LRESULT CALLBACK post_event_procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (post_message != 0 && message == post_message && second != 0) {
    auto* record = reinterpret_cast<PostedEvent*>(second);
    event_post(static_cast<std::int32_t>(record->code), record->gadget, record->window,
               record->type, record->data, nullptr);
    runtime_free(record);
  }
  return DefWindowProcA(window, message, first, second);
}

}  // namespace

void post_event_window_create() {
  WNDCLASSA window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = post_event_procedure;
  window_class.hInstance = instance();
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassA(&window_class);
  post_window = CreateWindowExA(0, kClassName, "", WS_CAPTION, 0, 0, 1, 1, nullptr, nullptr,
                                instance(), nullptr);
  post_message = RegisterWindowMessageA("ZQ_PostEventMessage");
}

// Shutdown: the window goes with the runtime, so that a runtime started
// again makes its own.
void post_event_window_destroy() {
  if (post_window) DestroyWindow(post_window);
  post_window = nullptr;
  UnregisterClassA(kClassName, instance());
}

bool event_post_from_thread(std::int32_t code, std::int64_t gadget, std::int64_t window,
                            std::int64_t type, void* data) {
  if (!post_window || post_message == 0) return false;
  auto* record = static_cast<PostedEvent*>(runtime_alloc(sizeof(PostedEvent)));
  if (!record) return false;
  *record = PostedEvent{code, gadget, window, type, data};
  if (PostMessageA(post_window, post_message, 0, reinterpret_cast<LPARAM>(record))) return true;
  runtime_free(record);
  return false;
}
