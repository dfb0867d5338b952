// The host build has no one-time service of its own here: the guard's
// compare-and-swap protocol does the work.
#include "runtime/run_once.h"

#include <sched.h>

bool platform_run_once(RunOnceGuard*, void (*)()) {
  return false;
}

void platform_yield() {
  sched_yield();
}
