// Run-once guards: a procedure that runs exactly once per guard across all
// threads; later and concurrent callers return only after it has finished.
#pragma once

#include <cstdint>

// Starts at 0. Pointer-sized, because the platform's one-time initialisation
// record that the guard doubles as is pointer-sized.
using RunOnceGuard = std::uintptr_t;

void run_once(RunOnceGuard* guard, void (*procedure)());

// Seam: runs the procedure through the platform's own one-time service and
// returns true, or returns false when the platform has none.
bool platform_run_once(RunOnceGuard* guard, void (*procedure)());
// Seam: gives up the rest of the caller's time slice.
void platform_yield();
