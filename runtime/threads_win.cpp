// The thread list over Win32 threads, and the 1 ms pause.
#include "runtime/threads.h"

#include <windows.h>
#include <mmsystem.h>

#include <new>
#include <utility>
#include <vector>

#include "runtime/lifecycle.h"
#include "runtime/platform_lock.h"
#include "runtime/scoped_win.h"

namespace {

struct ThreadEntry {
  KernelHandle handle;
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

bool has_ended(const KernelHandle& handle) {
  return WaitForSingleObject(handle.get(), 0) != WAIT_TIMEOUT;
}

DWORD WINAPI run_procedure(LPVOID start) {
  StartRecord record = *static_cast<StartRecord*>(start);
  delete static_cast<StartRecord*>(start);
  record.procedure(record.parameter);
  return 0;
}

void drop_ended_threads() {
  std::erase_if(*thread_list, [](const ThreadEntry& entry) { return has_ended(entry.handle); });
}

// The entry of a thread number; call under the thread lock.
const ThreadEntry* entry_of(std::int64_t number) {
  if (!thread_list) return nullptr;
  for (const ThreadEntry& entry : *thread_list)
    if (entry.number == number) return &entry;
  return nullptr;
}

// A handle of the caller's own to a listed thread that has not ended, or
// none. Taken under the lock, so the list cannot close the original first.
KernelHandle running_thread(std::int64_t number) {
  if (!lock_ready) return {};
  LockGuard guard(&thread_lock);
  const ThreadEntry* entry = entry_of(number);
  if (!entry || has_ended(entry->handle)) return {};
  HANDLE duplicate = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), entry->handle.get(), GetCurrentProcess(), &duplicate, 0,
                       FALSE, DUPLICATE_SAME_ACCESS))
    return {};
  return KernelHandle(duplicate);
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
  if (thread_list) thread_list->clear();
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
  KernelHandle handle(CreateThread(nullptr, kInitialStackCommit, run_procedure, start, 0, nullptr));
  if (!handle) {
    delete start;
    return 0;
  }
  drop_ended_threads();
  const std::int64_t number = next_number++;
  try {
    thread_list->push_back(ThreadEntry{std::move(handle), number});
  } catch (const std::bad_alloc&) {
    // The thread runs on, unlisted; its handle is closed here.
  }
  return number;
}

void* thread_handle(std::int64_t number) {
  return running_thread(number).release();
}

int thread_is_running(std::int64_t number) {
  // Asked under the lock: an ended thread's handle may be closed by the
  // next thread_create as soon as the lock is free.
  if (!lock_ready) return 0;
  LockGuard guard(&thread_lock);
  const ThreadEntry* entry = entry_of(number);
  return entry && !has_ended(entry->handle) ? 1 : 0;
}

int thread_wait(std::int64_t number, std::int32_t milliseconds) {
  KernelHandle thread = running_thread(number);
  if (!thread) return 1;
  const DWORD limit = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
  return WaitForSingleObject(thread.get(), limit) == WAIT_OBJECT_0 ? 1 : 0;
}

void delay(std::int32_t milliseconds) {
  timeBeginPeriod(1);
  Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
  timeEndPeriod(1);
}

int processor_count() {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
  int count = 0;
  for (; process; process &= process - 1) ++count;
  return count;
}

std::uint64_t memory_available() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
}
