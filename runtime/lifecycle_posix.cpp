// Lifecycle seam on the host build, which has no module instance.
#include "runtime/lifecycle.h"

void* platform_module_instance() {
  return nullptr;
}
