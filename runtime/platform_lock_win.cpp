// Critical sections for PlatformLock on Windows.
#include "runtime/platform_lock.h"

#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(PlatformLock::storage));

namespace {
CRITICAL_SECTION* section(PlatformLock* lock) {
  return reinterpret_cast<CRITICAL_SECTION*>(lock->storage);
}
}  // namespace

void lock_init(PlatformLock* lock) {
  InitializeCriticalSection(section(lock));
}
void lock_delete(PlatformLock* lock) {
  DeleteCriticalSection(section(lock));
}
void lock_enter(PlatformLock* lock) {
  EnterCriticalSection(section(lock));
}
void lock_leave(PlatformLock* lock) {
  LeaveCriticalSection(section(lock));
}
