// Common controls and COM at start-up.
#include "gui/gadgets/common_controls.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "runtime/lifecycle.h"

namespace {

constexpr DWORD kControlClasses = 0xB48;

void common_controls_start() {
  common_controls_initialise();
  CoInitialize(nullptr);
}

}  // namespace

void common_controls_initialise() {
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), kControlClasses};
  InitCommonControlsEx(&classes);
}

void common_controls_join_runtime() {
  runtime_join_startup(StartupStage::CommonControls, common_controls_start);
}
