// One-time initialisation through InitOnceExecuteOnce, looked up by name so
// that systems without it fall back to the guard's own protocol.
#include "runtime/run_once.h"

#include <windows.h>

static_assert(sizeof(INIT_ONCE) == sizeof(RunOnceGuard));

namespace {

using InitOnceExecuteOnceFunction = BOOL(WINAPI*)(PINIT_ONCE, PINIT_ONCE_FN, PVOID, LPVOID*);

BOOL CALLBACK call_procedure(PINIT_ONCE, PVOID procedure, PVOID*) {
  reinterpret_cast<void (*)()>(procedure)();
  return TRUE;
}

}  // namespace

bool platform_run_once(RunOnceGuard* guard, void (*procedure)()) {
  HMODULE kernel = GetModuleHandleA("Kernel32.dll");
  if (!kernel) return false;
  auto execute_once = reinterpret_cast<InitOnceExecuteOnceFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "InitOnceExecuteOnce")));
  if (!execute_once) return false;
  execute_once(reinterpret_cast<PINIT_ONCE>(guard), call_procedure,
               reinterpret_cast<PVOID>(procedure), nullptr);
  return true;
}

void platform_yield() {
  Sleep(0);
}
