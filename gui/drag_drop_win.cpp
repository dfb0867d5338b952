// Drag and drop on the platform: the OLE stage of start-up and shutdown and
// the removal of a drop target with its owner.
#include "gui/drag_drop.h"

#include <ole2.h>

#include "gui/window_object.h"
#include "runtime/lifecycle.h"

namespace {

void ole_start() {
  OleInitialize(nullptr);
}

void ole_end() {
  OleUninitialize();
}

}  // namespace

void drag_drop_join_runtime() {
  runtime_join_startup(StartupStage::OleInit, ole_start);
  runtime_join_shutdown(ShutdownStage::OleUninit, ole_end);
}

void drop_target_withdraw(HWND owner) {
  if (RemovePropA(owner, DROP_ACCEPT_PROPERTY)) RevokeDragDrop(owner);
}
