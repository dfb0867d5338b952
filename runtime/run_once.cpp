// Run-once guard with a compare-and-swap fallback: 0 not run, 1 running, 2 done.
#include "runtime/run_once.h"

#include <atomic>

void run_once(RunOnceGuard* guard, void (*procedure)()) {
  if (platform_run_once(guard, procedure)) return;
  std::atomic_ref<RunOnceGuard> state(*guard);
  RunOnceGuard expected = 0;
  if (state.compare_exchange_strong(expected, 1)) {
    procedure();
    state.store(2);
    return;
  }
  while (state.load() != 2) platform_yield();
}
