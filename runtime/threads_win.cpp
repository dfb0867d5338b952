// The thread list over Win32 threads, and the 1 ms pause.
#include "runtime/threads.h"

#include <windows.h>
#include <mmsystem.h>

#include <new>
#include <vector>

#include "runtime/lifecycle.h"
#include "runtime/platform_lock.h"

namespace {

struct ThreadEntry {
  HANDLE handle;
  std::int64_t number;
};

struct StartRecord {
  ThreadProcedure procedure;
  std::int64_t parameter;
};

constexpr SIZE_T kInitialStackCommit = 4096;

PlatformLock thread_lock;
bool lock_ready = false;
std::vector<ThreadEntry>* thread_list = nullptr;
std::int64_t next_number = 1;

bool has_ended(HANDLE handle) {
  return WaitForSingleObject(handle, 0) != WAIT_TIMEOUT;
}

DWORD WINAPI run_procedure(LPVOID start) {
  StartRecord record = *static_cast<StartRecord*>(start);
  delete static_cast<StartRecord*>(start);
  record.procedure(record.parameter);
  return 0;
}

void drop_ended_threads() {
  std::vector<ThreadEntry>& list = *thread_list;
  for (std::size_t i = 0; i < list.size();) {
    if (has_ended(list[i].handle)) {
      CloseHandle(list[i].handle);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

}  // namespace

void threads_start() {
  if (!lock_ready) {
    lock_init(&thread_lock);
    lock_ready = true;
  }
  LockGuard guard(&thread_lock);
  if (!thread_list) thread_list = new std::vector<ThreadEntry>();
}

void threads_end() {
  if (!lock_ready) return;
  LockGuard guard(&thread_lock);
  if (!thread_list) return;
  for (const ThreadEntry& entry : *thread_list) CloseHandle(entry.handle);
  thread_list->clear();
}

void threads_join_runtime() {
  runtime_join_startup(StartupStage::ThreadSupport, threads_start);
  runtime_join_shutdown(ShutdownStage::Threads, threads_end);
}

std::int64_t thread_create(ThreadProcedure procedure, std::int64_t parameter) {
  if (!procedure || !lock_ready) return 0;
  auto* start = new (std::nothrow) StartRecord{procedure, parameter};
  if (!start) return 0;
  LockGuard guard(&thread_lock);
  if (!thread_list) {
    delete start;
    return 0;
  }
  // Under the lock, so that a thread that ends at once cannot be dropped
  // before it has been listed.
  HANDLE handle = CreateThread(nullptr, kInitialStackCommit, run_procedure, start, 0, nullptr);
  if (!handle) {
    delete start;
    return 0;
  }
  drop_ended_threads();
  const std::int64_t number = next_number++;
  try {
    thread_list->push_back(ThreadEntry{handle, number});
  } catch (const std::bad_alloc&) {
    CloseHandle(handle);  // the thread runs on, unlisted
  }
  return number;
}

void* thread_handle(std::int64_t number) {
  if (!lock_ready) return nullptr;
  LockGuard guard(&thread_lock);
  if (!thread_list) return nullptr;
  for (const ThreadEntry& entry : *thread_list)
    if (entry.number == number) return has_ended(entry.handle) ? nullptr : entry.handle;
  return nullptr;
}

int thread_is_running(std::int64_t number) {
  // Asked under the lock: an ended thread's handle may be closed by the
  // next thread_create as soon as the lock is free.
  if (!lock_ready) return 0;
  LockGuard guard(&thread_lock);
  if (!thread_list) return 0;
  for (const ThreadEntry& entry : *thread_list)
    if (entry.number == number) return has_ended(entry.handle) ? 0 : 1;
  return 0;
}

void delay(std::int32_t milliseconds) {
  timeBeginPeriod(1);
  Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
  timeEndPeriod(1);
}
