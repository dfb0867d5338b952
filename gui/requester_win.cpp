// The requester: while the box is up, the calling thread's other visible
// windows are disabled and its topmost windows leave the topmost band, so
// that the box is modal for all of them and shows above them. Afterwards
// exactly what was changed is changed back.
#include "gui/requester.h"

#include <windows.h>

#include "runtime/heap.h"
#include "runtime/platform_lock.h"
#include "runtime/run_once.h"

namespace {

struct DisabledWindowEntry {
  DisabledWindowEntry* next;
  DWORD thread_id;
  HWND handle;
  BYTE was_topmost;
  BYTE disabled_here;
};

// One list for the process; two threads may show requesters at once, so
// the list has a lock (the entries of each thread are its own).
DisabledWindowEntry* entries = nullptr;
PlatformLock entries_lock;
RunOnceGuard lock_guard = 0;

void init_lock() {
  lock_init(&entries_lock);
}

struct PrepareContext {
  DWORD thread_id;
  HWND foreground;
};

BOOL CALLBACK note_window(HWND window, LPARAM context_value) {
  const auto* context = reinterpret_cast<const PrepareContext*>(context_value);
  if (GetWindowThreadProcessId(window, nullptr) != context->thread_id || !IsWindowVisible(window))
    return TRUE;
  auto* entry = static_cast<DisabledWindowEntry*>(runtime_alloc(sizeof(DisabledWindowEntry)));
  if (!entry) return TRUE;
  entry->thread_id = context->thread_id;
  entry->handle = window;
  entry->was_topmost = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0;
  if (window != context->foreground && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    entry->disabled_here = 1;
  }
  LockGuard guard(&entries_lock);
  entry->next = entries;
  entries = entry;
  return TRUE;
}

void prepare(DWORD thread_id) {
  PrepareContext context{thread_id, GetForegroundWindow()};
  EnumWindows(note_window, reinterpret_cast<LPARAM>(&context));
  LockGuard guard(&entries_lock);
  for (DisabledWindowEntry* entry = entries; entry; entry = entry->next)
    if (entry->thread_id == thread_id && entry->was_topmost)
      SetWindowPos(entry->handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
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
      SetWindowPos(entry->handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    runtime_free(entry);
  }
}

HWND owner_in_this_process() {
  const HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground) GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

}  // namespace

std::int64_t requester_message(const char* title, const char* text, std::uint32_t flags) {
  run_once(&lock_guard, init_lock);
  const DWORD thread_id = GetCurrentThreadId();
  prepare(thread_id);
  const int answer =
      MessageBoxA(owner_in_this_process(), text ? text : "", title ? title : "", flags);
  restore(thread_id);
  return answer;
}
