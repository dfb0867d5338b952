// The generic gadget operations: each finds the gadget and calls its kind's
// slot, or does the slot's default when the kind has none.
#include "gui/gadgets/gadgets.h"

#include "gui/gadgets/gadget_dpi.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_list.h"
#include "gui/gadgets/gadget_tooltips.h"
#include "runtime/graphics_probe.h"
#include "runtime/run_once.h"

namespace {

// The gadget and its kind's table, when the kind fills the slot.
template <typename Slot>
GadgetObject* with_slot(object_number gadget, Slot GadgetKind::*slot) {
  GadgetObject* object = gadget_object(gadget);
  return object && object->kind->*slot ? object : nullptr;
}

std::string window_text(HWND control) {
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

RunOnceGuard probe_guard = 0;
std::int64_t probed_version = 0;
bool probed_themed = false;
int themed_override = -1;

// Whether controls are themed is the start-up probe's finding (uxtheme's
// word and common controls 6 or later); the version is asked once here.
void probe_controls() {
  probed_version = graphics_common_controls_version();
  // uxtheme stays loaded for the drawing of themed controls.
  LoadLibraryA("uxtheme.dll");
  probed_themed = graphics_visual_styles();
}

}  // namespace

// The value goes to the kind whole: an image gadget's state is a picture
// handle, which a cut to 32 bits would break. Kinds whose state is a
// platform number narrow it themselves.
void gadget_set_state(object_number gadget, std::int64_t value) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::set_state))
    object->kind->set_state(object, value);
}

std::int64_t gadget_get_state(object_number gadget) {
  GadgetObject* object = with_slot(gadget, &GadgetKind::get_state);
  return object ? object->kind->get_state(object) : 0;
}

std::string gadget_get_text(object_number gadget) {
  GadgetObject* object = gadget_object(gadget);
  if (!object) return {};
  return object->kind->get_text ? object->kind->get_text(object) : window_text(object->handle);
}

void gadget_set_text(object_number gadget, const char* text) {
  GadgetObject* object = gadget_object(gadget);
  if (!object) return;
  if (object->kind->set_text)
    object->kind->set_text(object, text ? text : "");
  else
    SetWindowTextA(object->handle, text ? text : "");
}

std::string gadget_get_item_text(object_number gadget, std::int64_t item, std::int64_t column) {
  GadgetObject* object = with_slot(gadget, &GadgetKind::get_item_text);
  return object ? object->kind->get_item_text(object, item, column) : std::string();
}

void gadget_set_tooltip(object_number gadget, const char* text) {
  if (GadgetObject* object = gadget_object(gadget)) gadget_tooltip_set(object->handle, text);
}

void gadget_disable(object_number gadget, int state) {
  if (GadgetObject* object = gadget_object(gadget)) EnableWindow(object->handle, state == 0);
}

void gadget_set_font(object_number gadget, std::intptr_t font) {
  const HFONT chosen = font == GADGET_DEFAULT_FONT
                           ? static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))
                           : reinterpret_cast<HFONT>(font);
  if (gadget == GADGETS_TO_COME) {
    if (GadgetListState* list = gadget_list_state()) list->current_font = chosen;
    return;
  }
  GadgetObject* object = gadget_object(gadget);
  if (!object) return;
  object->font = chosen;
  gadget_show_font(object);
}

void gadget_add_column(object_number gadget, std::int64_t position, const char* title,
                       std::int64_t width) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::add_column))
    object->kind->add_column(object, position, title ? title : "", width);
}

void gadget_remove_column(object_number gadget, std::int64_t position) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::remove_column))
    object->kind->remove_column(object, position);
}

std::int64_t gadget_count_items(object_number gadget) {
  GadgetObject* object = with_slot(gadget, &GadgetKind::count_items);
  return object ? object->kind->count_items(object) : 0;
}

void gadget_remove_item(object_number gadget, std::int64_t item) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::remove_item))
    object->kind->remove_item(object, item);
}

std::int64_t gadget_get_item_state(object_number gadget, std::int64_t item) {
  GadgetObject* object = with_slot(gadget, &GadgetKind::get_item_state);
  return object ? object->kind->get_item_state(object, item) : 0;
}

void gadget_set_item_state(object_number gadget, std::int64_t item, std::int64_t state) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::set_item_state))
    object->kind->set_item_state(object, item, state);
}

void gadget_set_item_text(object_number gadget, std::int64_t item, const char* text,
                          std::int64_t column) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::set_item_text))
    object->kind->set_item_text(object, item, text ? text : "", column);
}

std::int64_t gadget_get_attribute(object_number gadget, std::int64_t attribute) {
  GadgetObject* object = with_slot(gadget, &GadgetKind::get_attribute);
  return object ? object->kind->get_attribute(object, attribute) : 0;
}

void gadget_set_attribute(object_number gadget, std::int64_t attribute, std::int64_t value) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::set_attribute))
    object->kind->set_attribute(object, attribute, value);
}

std::int64_t gadget_get_item_attribute(object_number gadget, std::int64_t item,
                                       std::int64_t attribute, std::int64_t column) {
  GadgetObject* object = with_slot(gadget, &GadgetKind::get_item_attribute);
  return object ? object->kind->get_item_attribute(object, item, attribute, column) : 0;
}

void gadget_set_item_attribute(object_number gadget, std::int64_t item, std::int64_t attribute,
                               std::int64_t value, std::int64_t column) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::set_item_attribute))
    object->kind->set_item_attribute(object, item, attribute, value, column);
}

void gadget_set_color(object_number gadget, std::int64_t which, std::int64_t color) {
  if (GadgetObject* object = with_slot(gadget, &GadgetKind::set_color))
    object->kind->set_color(object, which, color);
}

std::int64_t gadget_get_color(object_number gadget, std::int64_t which) {
  GadgetObject* object = gadget_object(gadget);
  if (!object) return 0;
  return object->kind->get_color ? object->kind->get_color(object, which) : GADGET_DEFAULT_COLOR;
}

std::int64_t controls_probe() {
  run_once(&probe_guard, probe_controls);
  return probed_version;
}

bool themed_controls() {
  controls_probe();
  return themed_override == -1 ? probed_themed : themed_override != 0;
}

void themed_controls_override(int themed) {
  themed_override = themed;
}
