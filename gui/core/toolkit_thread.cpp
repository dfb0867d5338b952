// The main thread's mark: a flag of the thread itself, so that asking
// needs no platform call.
#include "gui/core/toolkit_thread.h"

#include <atomic>

namespace {

std::atomic<bool> claimed{false};
thread_local bool is_main = false;

}  // namespace

void toolkit_thread_claim() {
  is_main = true;
  claimed = true;
}

void toolkit_thread_release() {
  claimed = false;
  is_main = false;
}

bool toolkit_on_main_thread() {
  return !claimed || is_main;
}
