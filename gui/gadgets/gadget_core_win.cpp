// The gadget kind: the registry of gadgets, the common creation path, the
// gadget procedure in front of every gadget control, the handover of parent
// messages to a gadget's kind, and the kind's start and end.
#include "gui/gadgets/gadget_kind.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstring>
#include <vector>

#include "gui/core/dpi.h"
#include "gui/core/event_queue.h"
#include "gui/core/events.h"
#include "gui/core/toolkit_thread.h"
#include "gui/core/window_dpi.h"
#include "gui/core/window_hooks.h"
#include "gui/core/window_object.h"
#include "gui/gadgets/common_controls.h"
#include "gui/gadgets/gadget_dispatch.h"
#include "gui/gadgets/gadget_dpi.h"
#include "gui/gadgets/gadget_list.h"
#include "gui/gadgets/gadget_tooltips.h"
#include "gui/gadgets/gadgets.h"
#include "runtime/lifecycle.h"

namespace {

constexpr std::int32_t kSlotStep = 50;
constexpr LONG_PTR kGadgetGone = -1;

ObjectRegistry* gadgets = nullptr;
PlatformLock lock_storage;
bool lock_ready = false;
// Set while another thread uses gadgets (gadget_set_worker_running).
std::atomic<bool> worker_running{false};

// The registry changes (a record is taken or released) only on the main
// thread, and never while a worker may look gadgets up without a lock.
[[maybe_unused]] bool registry_may_change() {
  return toolkit_on_main_thread() && !worker_running;
}

HINSTANCE instance() {
  return static_cast<HINSTANCE>(runtime_instance());
}

WNDPROC put_in_front(HWND window, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

// The procedures put in front of single windows, with those they replaced.
struct Subclass {
  HWND window;
  WNDPROC procedure;
  WNDPROC previous;
};

std::vector<Subclass>& subclasses() {
  static auto* all = new std::vector<Subclass>();  // outlives every window
  return *all;
}

std::vector<Subclass>::iterator subclass_of(HWND window, WNDPROC procedure) {
  std::vector<Subclass>& all = subclasses();
  return std::find_if(all.begin(), all.end(), [&](const Subclass& s) {
    return s.window == window && s.procedure == procedure;
  });
}

LONG_PTR window_identifier(HWND control) {
  return GetWindowLongPtrA(control, GWLP_ID);
}

// The record behind a control with the given identifier, when it is the
// gadget's own control.
GadgetObject* record_of(HWND control, LONG_PTR id) {
  if (!gadgets) return nullptr;
  auto* gadget = static_cast<GadgetObject*>(registry_lookup(gadgets, id));
  return gadget && gadget->handle == control ? gadget : nullptr;
}

// The control is destroyed: the kind lets go of its resources, the control
// stops being a gadget, its queued events go and the record is released.
void gadget_destroyed(GadgetObject* gadget, HWND control, LONG_PTR id) {
  assert(registry_may_change());
  if (gadget->kind && gadget->kind->release) gadget->kind->release(gadget);
  RemovePropA(control, GADGET_ID_PROPERTY);
  window_released(control);
  gadget_tooltip_forget(control);
  SetWindowLongPtrA(control, GWLP_ID, kGadgetGone);
  event_queue_remove(EVENT_GADGET, id, -1, -1);
  registry_release(gadgets, id);
}

LRESULT CALLBACK gadget_procedure(HWND control, UINT message, WPARAM first, LPARAM second) {
  const LONG_PTR id = window_identifier(control);
  if (id == kGadgetGone) return DefWindowProcA(control, message, first, second);
  GadgetObject* gadget = record_of(control, id);
  // Without its record (the kind already shut down) the control still needs
  // its class's own handling, above all of its destruction.
  const WNDPROC previous = gadget
                               ? gadget->previous_procedure
                               : reinterpret_cast<WNDPROC>(GetClassLongPtrA(control, GCLP_WNDPROC));
  // Place and font first; the kind's own procedure follows with its pictures.
  if (message == DPI_CHANGED_AFTER_PARENT_MESSAGE && gadget) gadget_follow_dpi(gadget);
  const LRESULT result = CallWindowProcA(previous, control, message, first, second);
  if (message == WM_NCDESTROY && gadget) gadget_destroyed(gadget, control, id);
  return result;
}

void gadget_release(object_number number) {
  gadget_free(number);
}

// A new toolkit window becomes the current gadget list.
void use_as_gadget_list(HWND window) {
  gadget_list_use(window);
}

void gadgets_start() {
  worker_running = false;
  lock_init(&lock_storage);
  lock_ready = true;
  gadgets = registry_create(sizeof(GadgetObject), kSlotStep, gadget_release);
  common_controls_initialise();
}

// Shutdown: the tooltip window and every gadget go; the registry goes with
// the runtime heap, so the kind forgets it.
void gadgets_end() {
  gadget_tooltips_end();
  if (gadgets) registry_free_all(gadgets);
  gadget_display_fonts_end();
  gadgets = nullptr;
  if (lock_ready) lock_delete(&lock_storage);
  lock_ready = false;
}

}  // namespace

void gadgets_join_runtime() {
  runtime_join_startup(StartupStage::GadgetKind, gadget_list_start);
  runtime_join_startup(StartupStage::GadgetKind, gadgets_start);
  runtime_join_shutdown(ShutdownStage::Gadgets, gadgets_end);
  runtime_join_shutdown(ShutdownStage::Windows, gadget_list_end);
  window_set_control_handler(gadget_dispatch);
  window_set_open_hook(use_as_gadget_list);
}

void gadget_set_worker_running(bool running) {
  assert(toolkit_on_main_thread());
  worker_running = running;
}

PlatformLock* gadget_lock() {
  return lock_ready ? &lock_storage : nullptr;
}

HWND gadget_create_control(const char* class_name, const char* text, DWORD style, DWORD ex_style,
                           int x, int y, int width, int height) {
  assert(registry_may_change());
  const GadgetListState* list = gadget_list_state();
  // A child control needs a parent; without a gadget list there is none.
  if (!gadgets || !list || !list->current_parent) return nullptr;
  const GadgetArea area =
      gadget_area_at(GadgetArea{x, y, width, height}, dpi_of_window(list->current_parent));
  return CreateWindowExA(ex_style, class_name, text ? text : "", style, area.x, area.y, area.width,
                         area.height, list->current_parent, nullptr, instance(), nullptr);
}

GadgetObject* gadget_register(object_number number, HWND control, const GadgetKind* kind,
                              const void* fields, std::size_t fields_size) {
  if (!control) return nullptr;
  assert(registry_may_change());
  auto* gadget = gadgets ? static_cast<GadgetObject*>(registry_allocate(gadgets, number)) : nullptr;
  if (!gadget) {
    DestroyWindow(control);
    return nullptr;
  }
  *gadget = GadgetObject{};
  if (fields && fields_size <= sizeof gadget->kind_fields)
    std::memcpy(gadget->kind_fields, fields, fields_size);
  gadget->kind = kind;
  const LONG_PTR id = number == ANY_OBJECT ? reinterpret_cast<LONG_PTR>(gadget) : number;
  // The identifier goes in before the gadget procedure, which finds the
  // record through it.
  SetWindowLongPtrA(control, GWLP_ID, id);
  SetPropA(control, GADGET_ID_PROPERTY, reinterpret_cast<HANDLE>(id));
  gadget->previous_procedure = put_in_front(control, gadget_procedure);
  gadget->handle = control;
  // The place in the toolkit's units, read back from the control that
  // gadget_create_control placed: exact at 96 DPI and above.
  gadget->dpi = dpi_of_window(control);
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  gadget->place = GadgetArea{dpi_unscale(r.left, gadget->dpi), dpi_unscale(r.top, gadget->dpi),
                             dpi_unscale(r.right - r.left, gadget->dpi),
                             dpi_unscale(r.bottom - r.top, gadget->dpi)};
  const GadgetListState* list = gadget_list_state();
  gadget->font = list ? list->current_font : nullptr;
  SendMessageA(control, WM_SETFONT,
               reinterpret_cast<WPARAM>(gadget_display_font(gadget->font, gadget->dpi)), TRUE);
  return gadget;
}

std::uintptr_t gadget_creation_result(object_number number, const GadgetObject* gadget) {
  if (!gadget) return 0;
  return number == ANY_OBJECT ? reinterpret_cast<std::uintptr_t>(gadget)
                              : reinterpret_cast<std::uintptr_t>(gadget->handle);
}

GadgetObject* gadget_object(object_number gadget) {
  return gadgets ? static_cast<GadgetObject*>(registry_lookup(gadgets, gadget)) : nullptr;
}

GadgetObject* gadget_of_control(HWND control) {
  if (!control || !IsWindow(control)) return nullptr;
  const LONG_PTR id = window_identifier(control);
  if (reinterpret_cast<LONG_PTR>(GetPropA(control, GADGET_ID_PROPERTY)) != id) return nullptr;
  return record_of(control, id);
}

std::int64_t gadget_identifier(const GadgetObject* gadget) {
  return gadget ? window_identifier(gadget->handle) : 0;
}

void gadget_post_event(HWND control, std::int64_t type) {
  std::int64_t window = -1;
  window_number_of(control, &window);  // stays -1 for a control outside a toolkit window
  event_post(static_cast<std::int32_t>(EVENT_GADGET), window_identifier(control), window, type);
}

void gadget_subclass(HWND control, WNDPROC procedure, WNDPROC* saved) {
  const WNDPROC previous = put_in_front(control, procedure);
  if (!*saved) *saved = previous;
}

bool window_subclass(HWND window, WNDPROC procedure) {
  if (!window || subclass_of(window, procedure) != subclasses().end()) return false;
  subclasses().push_back({window, procedure, put_in_front(window, procedure)});
  return true;
}

LRESULT window_pass_on(WNDPROC procedure, HWND window, UINT message, WPARAM first, LPARAM second) {
  WNDPROC previous = nullptr;
  if (const auto found = subclass_of(window, procedure); found != subclasses().end()) {
    previous = found->previous;
    if (message == WM_NCDESTROY) subclasses().erase(found);
  }
  return previous ? CallWindowProcA(previous, window, message, first, second)
                  : DefWindowProcA(window, message, first, second);
}

std::int64_t gadget_dispatch(HWND control, HWND parent, UINT message, WPARAM first, LPARAM second) {
  GadgetObject* gadget = gadget_of_control(control);
  if (!gadget || !gadget->kind->on_parent_message) return NOT_HANDLED;
  return gadget->kind->on_parent_message(gadget, parent, message, first, second);
}

void gadget_free(object_number gadget) {
  assert(registry_may_change());
  if (!gadgets) return;
  if (gadget == ANY_OBJECT) {
    registry_free_all(gadgets);
    return;
  }
  // The gadget procedure releases the record when the control is destroyed.
  if (GadgetObject* object = gadget_object(gadget)) DestroyWindow(object->handle);
}
