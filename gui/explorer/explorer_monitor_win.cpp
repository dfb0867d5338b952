// The monitor thread and its request handshake.
#include "gui/explorer/explorer_monitor.h"

#include <atomic>
#include <cassert>
#include <string>
#include <vector>

#include "gui/core/events.h"
#include "gui/core/toolkit_thread.h"
#include "runtime/platform_lock.h"
#include "runtime/wide_text.h"

namespace {

constexpr DWORD kAnswerTimeout = 5000;
constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE;  // 31

// The monitor lives for the whole process, across runtime restarts.
struct Monitor {
  PlatformLock lock;  // serialises requests
  HANDLE request = nullptr;
  HANDLE done = nullptr;
  HANDLE thread = nullptr;
  std::atomic<bool> running{false};
  // Set when a request went unanswered: the thread, should it ever wake
  // again, closes its watches and ends instead of serving requests.
  std::atomic<bool> stopping{false};
  // The request being handed over. Whoever exchanges the notification for
  // null owns it: the thread when it takes the request, the requester when
  // the thread did not answer in time.
  HWND request_list = nullptr;
  std::atomic<HANDLE> request_notification{nullptr};
};

Monitor& monitor() {
  static Monitor* instance = [] {
    auto* m = new Monitor();
    lock_init(&m->lock);
    return m;
  }();
  return *instance;
}

// The thread's own view: slot 0 is the request event, every other slot a
// list's notification.
struct Watches {
  std::vector<HANDLE> handles;
  std::vector<HWND> lists;

  ~Watches() {
    for (std::size_t slot = 1; slot < handles.size(); ++slot)
      FindCloseChangeNotification(handles[slot]);
  }

  void drop(std::size_t slot) {
    FindCloseChangeNotification(handles[slot]);
    handles.erase(handles.begin() + static_cast<std::ptrdiff_t>(slot));
    lists.erase(lists.begin() + static_cast<std::ptrdiff_t>(slot));
  }

  void take_request(HWND list, HANDLE notification) {
    for (std::size_t slot = 1; slot < lists.size(); ++slot) {
      if (lists[slot] != list) continue;
      if (notification) {
        FindCloseChangeNotification(handles[slot]);
        handles[slot] = notification;
      } else {
        drop(slot);
      }
      return;
    }
    if (!notification) return;
    // One wait covers at most MAXIMUM_WAIT_OBJECTS handles; a list beyond
    // that is not watched rather than ending the watch of all others.
    if (handles.size() >= MAXIMUM_WAIT_OBJECTS) {
      FindCloseChangeNotification(notification);
      return;
    }
    handles.push_back(notification);
    lists.push_back(list);
  }
};

DWORD WINAPI monitor_thread(LPVOID) {
  Monitor& m = monitor();
  Watches watches;
  watches.handles.push_back(m.request);
  watches.lists.push_back(nullptr);
  for (;;) {
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(watches.handles.size()),
                                                watches.handles.data(), FALSE, INFINITE);
    if (result == WAIT_FAILED || m.stopping) break;
    if (result >= WAIT_ABANDONED_0) continue;
    const std::size_t slot = result - WAIT_OBJECT_0;
    if (slot == 0) {
      ResetEvent(m.request);
      watches.take_request(m.request_list, m.request_notification.exchange(nullptr));
      SetEvent(m.done);
      continue;
    }
    const HWND list = watches.lists[slot];
    PostMessageA(GetParent(list), GADGET_PRIVATE_MESSAGE, 0, reinterpret_cast<LPARAM>(list));
    if (!FindNextChangeNotification(watches.handles[slot])) watches.drop(slot);
  }
  m.running = false;
  return 0;
}

// Hands (list, notification) to the thread and waits for its answer.
void hand_over(HWND list, HANDLE notification) {
  // A list is refreshed and released on the main thread only, which a
  // request may hold up for the time-out.
  assert(toolkit_on_main_thread());
  Monitor& m = monitor();
  LockGuard guard(&m.lock);
  if (!m.running) {
    if (notification) FindCloseChangeNotification(notification);
    return;
  }
  m.request_list = list;
  m.request_notification = notification;
  ResetEvent(m.done);
  SetEvent(m.request);
  if (WaitForSingleObject(m.done, kAnswerTimeout) == WAIT_OBJECT_0) return;
  // No answer: the monitor is off for good. The thread is left to end by
  // itself, should it wake again (killing it could leave a lock it holds
  // taken); it closes its own watches then. The events and the thread
  // handle stay, as the monitor does, for the whole process.
  m.stopping = true;
  m.running = false;
  if (const HANDLE untaken = m.request_notification.exchange(nullptr))
    FindCloseChangeNotification(untaken);
}

}  // namespace

bool explorer_monitor_start() {
  Monitor& m = monitor();
  LockGuard guard(&m.lock);
  if (m.request || m.done) return m.running;  // started once, or off for good
  m.request = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  m.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!m.request || !m.done) return false;
  m.running = true;
  m.thread = CreateThread(nullptr, 0, monitor_thread, nullptr, 0, nullptr);
  if (!m.thread) m.running = false;
  return m.running;
}

bool explorer_monitor_running() {
  return monitor().running;
}

void explorer_monitor_watch(HWND list, const char* directory) {
  if (!directory || !*directory) {
    explorer_monitor_forget(list);
    return;
  }
  if (!explorer_monitor_running()) return;
  std::wstring wide;
  HANDLE notification = wide_path_from_ansi(directory, wide)
                            ? FindFirstChangeNotificationW(wide.c_str(), FALSE, kChangeFilter)
                            : nullptr;
  if (notification == INVALID_HANDLE_VALUE) notification = nullptr;
  // Without a notification the list's old watch ends too: changes of the
  // directory it showed before have nothing to do with it any more.
  hand_over(list, notification);
}

void explorer_monitor_forget(HWND list) {
  hand_over(list, nullptr);
}

HANDLE explorer_monitor_thread() {
  Monitor& m = monitor();
  return m.running ? m.thread : nullptr;
}
