// The requester: while the box is up, the calling thread's other visible
// windows are disabled and its topmost windows leave the topmost band, so
// that the box is modal for all of them and shows above them. Afterwards
// exactly what was changed is changed back.
//
// A thread without windows of its own (a worker that reports a failure)
// would find nothing to change and no owner when another program is in
// front: its box went behind the topmost main window while the main window
// stayed usable. Such a requester treats the process's visible toolkit
// windows as its own and its box is topmost. The owner is the foreground
// window when it belongs to the process, else a visible, enabled toolkit
// window of the process, so that the platform keeps the box above that
// window and disables the window while the box is up.
#include "gui/core/requester.h"

#include <windows.h>

#include "gui/core/window_object.h"
#include "runtime/heap.h"
#include "runtime/platform_lock.h"
#include "runtime/run_once.h"

namespace {

constexpr UINT kBandWithoutMoving = SWP_NOMOVE | SWP_NOSIZE;

struct DisabledWindowEntry {
  DisabledWindowEntry* next;
  DWORD thread_id;
  HWND handle;
  BYTE was_topmost;
  BYTE disabled_here;
};

// One list for the process; two threads may show requesters at once, so
// the list has a lock (the entries of each thread are its own). No window
// is touched under the lock: that may wait on another thread's windows.
DisabledWindowEntry* entries = nullptr;
PlatformLock entries_lock;
RunOnceGuard lock_guard = 0;

void init_lock() {
  lock_init(&entries_lock);
}

bool in_this_process(HWND window) {
  DWORD process = 0;
  if (window) GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

bool is_toolkit_window(HWND window) {
  return in_this_process(window) && GetPropA(window, WINDOW_ID_PROPERTY) != nullptr;
}

BOOL CALLBACK find_visible(HWND window, LPARAM found) {
  if (!IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

bool thread_has_visible_window(DWORD thread_id) {
  HWND found = nullptr;
  EnumThreadWindows(thread_id, find_visible, reinterpret_cast<LPARAM>(&found));
  return found != nullptr;
}

// The uppermost visible, enabled toolkit window of the process.
BOOL CALLBACK find_toolkit_window(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || !IsWindowEnabled(window) || !is_toolkit_window(window))
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The foreground window when it belongs to this process; otherwise a
// toolkit window of the process, so that the box is not left without an
// owner behind it.
HWND box_owner() {
  const HWND foreground = GetForegroundWindow();
  if (foreground && in_this_process(foreground)) return foreground;
  HWND found = nullptr;
  EnumWindows(find_toolkit_window, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct PrepareContext {
  DWORD thread_id;
  HWND owner;            // never disabled here: the box disables its owner itself
  bool process_windows;  // the calling thread has none: the process's toolkit windows
  DisabledWindowEntry* noted;
};

bool covers(const PrepareContext& context, HWND window) {
  if (!IsWindowVisible(window)) return false;
  if (context.process_windows) return is_toolkit_window(window);
  return GetWindowThreadProcessId(window, nullptr) == context.thread_id;
}

BOOL CALLBACK note_window(HWND window, LPARAM context_value) {
  auto* context = reinterpret_cast<PrepareContext*>(context_value);
  if (!covers(*context, window)) return TRUE;
  auto* entry = static_cast<DisabledWindowEntry*>(runtime_alloc(sizeof(DisabledWindowEntry)));
  if (!entry) return TRUE;
  entry->thread_id = context->thread_id;
  entry->handle = window;
  entry->was_topmost = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0;
  entry->disabled_here = 0;
  if (window != context->owner && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    entry->disabled_here = 1;
  }
  entry->next = context->noted;
  context->noted = entry;
  return TRUE;
}

// Disables and takes out of the topmost band what the box must be modal
// for; true when those are the process's toolkit windows rather than the
// calling thread's own.
bool prepare(DWORD thread_id, HWND owner) {
  PrepareContext context{thread_id, owner, !thread_has_visible_window(thread_id), nullptr};
  EnumWindows(note_window, reinterpret_cast<LPARAM>(&context));
  DisabledWindowEntry* last = nullptr;
  for (DisabledWindowEntry* entry = context.noted; entry; entry = entry->next) {
    if (entry->was_topmost)
      SetWindowPos(entry->handle, HWND_NOTOPMOST, 0, 0, 0, 0, kBandWithoutMoving);
    last = entry;
  }
  if (last) {
    LockGuard guard(&entries_lock);
    last->next = entries;
    entries = context.noted;
  }
  return context.process_windows;
}

// Takes the thread's entries out of the list, then undoes their changes.
void restore(DWORD thread_id) {
  DisabledWindowEntry* mine = nullptr;
  {
    LockGuard guard(&entries_lock);
    DisabledWindowEntry** link = &entries;
    while (*link) {
      DisabledWindowEntry* entry = *link;
      if (entry->thread_id == thread_id) {
        *link = entry->next;
        entry->next = mine;
        mine = entry;
      } else {
        link = &entry->next;
      }
    }
  }
  while (mine) {
    DisabledWindowEntry* entry = mine;
    mine = entry->next;
    if (entry->disabled_here) EnableWindow(entry->handle, TRUE);
    if (entry->was_topmost)
      SetWindowPos(entry->handle, HWND_TOPMOST, 0, 0, 0, 0, kBandWithoutMoving);
    runtime_free(entry);
  }
}

// Wine leaves a box shown with MB_TOPMOST outside the topmost band: when
// the box of this thread is activated, it is put there by hand.
LRESULT CALLBACK raise_box(int code, WPARAM first, LPARAM second) {
  if (code == HCBT_ACTIVATE) {
    const auto box = reinterpret_cast<HWND>(first);
    if (!(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST))
      SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, kBandWithoutMoving | SWP_NOACTIVATE);
  }
  return CallNextHookEx(nullptr, code, first, second);
}

// The hook is the calling thread's own and lives as long as its box.
class TopmostBox {
 public:
  explicit TopmostBox(bool wanted)
      : hook_(wanted ? SetWindowsHookExA(WH_CBT, raise_box, nullptr, GetCurrentThreadId())
                     : nullptr) {}
  ~TopmostBox() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  TopmostBox(const TopmostBox&) = delete;
  TopmostBox& operator=(const TopmostBox&) = delete;

 private:
  HHOOK hook_;
};

}  // namespace

std::int64_t requester_message(const char* title, const char* text, std::uint32_t flags) {
  run_once(&lock_guard, init_lock);
  const DWORD thread_id = GetCurrentThreadId();
  const HWND owner = box_owner();
  // The box of a thread without windows is topmost as well: its owner
  // belongs to another thread, whose windows may be put above it.
  const bool for_process = prepare(thread_id, owner);
  int answer = 0;
  {
    const TopmostBox topmost(for_process);
    answer = MessageBoxA(owner, text ? text : "", title ? title : "",
                         for_process ? flags | MB_TOPMOST : flags);
  }
  restore(thread_id);
  return answer;
}
