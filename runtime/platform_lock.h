// A critical section behind a plain interface (Win32 critical section on
// Windows, a mutex on the host build), for records that embed their lock.
#pragma once

struct PlatformLock {
  alignas(16) unsigned char storage[64];
};

void lock_init(PlatformLock* lock);
void lock_delete(PlatformLock* lock);
void lock_enter(PlatformLock* lock);
void lock_leave(PlatformLock* lock);

class LockGuard {
 public:
  explicit LockGuard(PlatformLock* lock) : lock_(lock) {
    if (lock_) lock_enter(lock_);
  }
  ~LockGuard() {
    if (lock_) lock_leave(lock_);
  }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  PlatformLock* lock_;
};
