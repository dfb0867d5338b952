// Recursive mutexes for PlatformLock on the host build (a critical section
// may be re-entered by its owner).
#include "runtime/platform_lock.h"

#include <pthread.h>

static_assert(sizeof(pthread_mutex_t) <= sizeof(PlatformLock::storage));

namespace {
pthread_mutex_t* mutex(PlatformLock* lock) {
  return reinterpret_cast<pthread_mutex_t*>(lock->storage);
}
}  // namespace

void lock_init(PlatformLock* lock) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(mutex(lock), &attributes);
  pthread_mutexattr_destroy(&attributes);
}
void lock_delete(PlatformLock* lock) {
  pthread_mutex_destroy(mutex(lock));
}
void lock_enter(PlatformLock* lock) {
  pthread_mutex_lock(mutex(lock));
}
void lock_leave(PlatformLock* lock) {
  pthread_mutex_unlock(mutex(lock));
}
