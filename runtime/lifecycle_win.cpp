// Lifecycle seam on Windows.
#include "runtime/lifecycle.h"

#include <windows.h>

void* platform_module_instance() {
  return GetModuleHandleA(nullptr);
}
