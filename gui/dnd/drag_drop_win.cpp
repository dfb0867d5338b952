// Drag and drop on the platform: enabling formats on windows and gadgets
// (their drop targets registered with OLE), the file list of a drop event,
// and the OLE stage of start-up and shutdown.
#include "gui/dnd/drag_drop.h"

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/core/event_state.h"
#include "gui/core/window_hooks.h"
#include "gui/core/window_object.h"
#include "gui/dnd/drop_target.h"
#include "gui/gadgets/gadget_kind.h"
#include "runtime/lifecycle.h"
#include "runtime/scoped_win.h"
#include "runtime/wide_text.h"

namespace {

constexpr UINT kBelowWithoutMoving = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

void ole_start() {
  OleInitialize(nullptr);
}

BOOL CALLBACK withdraw_target(HWND window, LPARAM) {
  drop_target_withdraw(window);
  return TRUE;
}

BOOL CALLBACK withdraw_targets_within(HWND top_level, LPARAM) {
  drop_target_withdraw(top_level);
  EnumChildWindows(top_level, withdraw_target, 0);
  return TRUE;
}

// The windows and gadgets go only after OLE in the shutdown order, and a
// registration must not outlive OLE: the targets still registered are
// withdrawn first.
void ole_end() {
  EnumThreadWindows(GetCurrentThreadId(), withdraw_targets_within, 0);
  OleUninitialize();
}

DropTarget* target_of(HWND owner) {
  return static_cast<DropTarget*>(GetPropA(owner, DROP_ACCEPT_PROPERTY));
}

// A new target registered for the owner, or null when the platform refuses.
DropTarget* register_target(HWND owner, std::int32_t kind, std::int64_t number) {
  auto* target = new DropTarget(kind, number, owner);
  HRESULT result = RegisterDragDrop(owner, target);
  if (result == DRAGDROP_E_ALREADYREGISTERED) {
    RevokeDragDrop(owner);
    result = RegisterDragDrop(owner, target);
  }
  if (FAILED(result)) {
    target->Release();
    return nullptr;
  }
  SetPropA(owner, DROP_ACCEPT_PROPERTY, target);
  target->Release();  // the registration holds its own reference
  return target;
}

// Returns false when no target could be registered.
bool enable_on(HWND owner, std::int32_t kind, std::int64_t number, std::int32_t format,
               std::int32_t actions, std::int32_t private_type) {
  DropTarget* target = target_of(owner);
  const bool is_private = format == DROP_PRIVATE;
  const std::int32_t key = is_private ? private_type : format;
  if (actions != 0) {
    if (!target && !(target = register_target(owner, kind, number))) return false;
    (is_private ? target->private_types : target->formats).enable(key, actions);
    return true;
  }
  if (!target) return true;
  (is_private ? target->private_types : target->formats).withdraw(key);
  if (target->formats.empty() && target->private_types.empty()) drop_target_withdraw(owner);
  return true;
}

bool is_class(HWND window, const char* name) {
  char class_name[16] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  return lstrcmpiA(class_name, name) == 0;
}

// Check boxes, radio buttons and group boxes that overlap a drop area would
// take the drop; they go below it.
void keep_buttons_below(HWND gadget) {
  RECT area{};
  GetWindowRect(gadget, &area);
  std::vector<HWND> covering;
  for (HWND above = GetWindow(gadget, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    RECT r{}, overlap{};
    GetWindowRect(above, &r);
    if (is_class(above, "Button") && (GetWindowLongPtrA(above, GWL_STYLE) & 7) != 0 &&
        IntersectRect(&overlap, &r, &area))
      covering.push_back(above);
  }
  for (HWND button : covering) SetWindowPos(button, gadget, 0, 0, 0, 0, kBelowWithoutMoving);
}

}  // namespace

void drag_drop_join_runtime() {
  runtime_join_startup(StartupStage::OleInit, ole_start);
  runtime_join_shutdown(ShutdownStage::OleUninit, ole_end);
  // A closed window or a destroyed gadget takes its drop target along.
  window_add_release_hook(drop_target_withdraw);
}

void drop_target_withdraw(HWND owner) {
  if (RemovePropA(owner, DROP_ACCEPT_PROPERTY)) RevokeDragDrop(owner);
}

void gadget_enable_drop(object_number gadget, std::int32_t format, std::int32_t actions,
                        std::int32_t private_type) {
  GadgetObject* object = gadget_object(gadget);
  if (format == 0 || !object) return;
  if (enable_on(object->handle, object->kind->kind_id, gadget_identifier(object), format, actions,
                private_type))
    keep_buttons_below(object->handle);
}

void window_enable_drop(object_number window, std::int32_t format, std::int32_t actions,
                        std::int32_t private_type) {
  WindowObject* object = window_object(window);
  if (format == 0 || !object) return;
  enable_on(object->handle, DROP_OWNER_WINDOW, window, format, actions, private_type);
}

DroppedFiles event_dropped_files() {
  DroppedFiles files;
  EventState* state = event_state();
  const DropRecord* record = state ? state->drop_data : nullptr;
  if (!record || !record->data || record->format != DROP_FILES || record->size <= 0) return files;
  // The platform's file-drop query reads the shell's layout from a global
  // block of its own.
  const GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(record->size)));
  void* bytes = block ? GlobalLock(block.get()) : nullptr;
  if (!bytes) return files;
  std::memcpy(bytes, record->data, static_cast<std::size_t>(record->size));
  GlobalUnlock(block.get());
  // Read as the wide names the shell gives, and converted exactly.
  const auto drop = static_cast<HDROP>(block.get());
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring wide(length + 1, L'\0');
    wide.resize(DragQueryFileW(drop, i, wide.data(), length + 1));
    std::string path;
    if (ansi_from_wide(wide, path))
      paths.push_back(std::move(path));
    else
      files.refused.push_back(ansi_for_display(wide));
  }
  files.paths = drop_files_join(paths);
  return files;
}

std::string event_drop_files() {
  return event_dropped_files().paths;
}
