// What a gadget kind is made of: the gadget record, the table of
// operations through which the generic gadget calls reach a kind, and the
// creation steps that every kind shares. Kinds (the eight of gui/gadgets/gadgets.h,
// the explorer list) are built on this header; applications use
// gui/gadgets/gadgets.h.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <type_traits>

#include "gui/core/events.h"
#include "runtime/platform_lock.h"
#include "runtime/registry.h"

struct GadgetKind;

// Where a gadget sits in its window, in the toolkit's units (pixels at 96
// DPI; gui/core/dpi.h).
struct GadgetArea {
  std::int32_t x, y, width, height;
};

// One per gadget. The record is alive while `handle` is not null.
struct GadgetObject {
  HWND handle;                           // the platform control
  const GadgetKind* kind;                // the table of the gadget's kind
  WNDPROC previous_procedure;            // the control's procedure behind the gadget procedure
  alignas(8) std::byte kind_fields[40];  // up to five 64-bit fields of the kind
  // The gadget at its window's DPI (gui/gadgets/gadget_dpi.h): its place as
  // the program gave it, the DPI the control is laid out for, and the font
  // the program gave it, which the control shows scaled to that DPI.
  GadgetArea place;
  std::int32_t dpi;
  HFONT font;
};

// A kind's own fields inside the record (a trivially copyable struct of at
// most five 64-bit fields).
template <typename Fields>
Fields& gadget_fields(GadgetObject* gadget) {
  static_assert(sizeof(Fields) <= sizeof(GadgetObject::kind_fields));
  static_assert(std::is_trivially_copyable_v<Fields>);
  return *std::launder(reinterpret_cast<Fields*>(gadget->kind_fields));
}

// The operations of a kind, slots 1 to 39 in their fixed order. An empty
// slot means that the kind lacks the operation; the generic call then does
// its default (see gui/gadgets/gadgets.h). Slots this system never fills are kept
// as placeholders so that every table has the same layout.
using GadgetParentMessage = std::int64_t (*)(GadgetObject* gadget, HWND parent, UINT message,
                                             WPARAM first, LPARAM second);
using GadgetRelease = void (*)(GadgetObject* gadget);
using GadgetGetState = std::int64_t (*)(GadgetObject* gadget);
using GadgetSetState = void (*)(GadgetObject* gadget, std::int64_t value);
using GadgetGetText = std::string (*)(GadgetObject* gadget);
using GadgetSetText = void (*)(GadgetObject* gadget, const char* text);
using GadgetRemoveItem = void (*)(GadgetObject* gadget, std::int64_t item);
using GadgetCountItems = std::int64_t (*)(GadgetObject* gadget);
using GadgetGetItemState = std::int64_t (*)(GadgetObject* gadget, std::int64_t item);
using GadgetSetItemState = void (*)(GadgetObject* gadget, std::int64_t item, std::int64_t state);
using GadgetGetItemText = std::string (*)(GadgetObject* gadget, std::int64_t item,
                                          std::int64_t column);
using GadgetSetItemText = void (*)(GadgetObject* gadget, std::int64_t item, const char* text,
                                   std::int64_t column);
using GadgetAddColumn = void (*)(GadgetObject* gadget, std::int64_t position, const char* title,
                                 std::int64_t width);
using GadgetRemoveColumn = void (*)(GadgetObject* gadget, std::int64_t position);
using GadgetGetAttribute = std::int64_t (*)(GadgetObject* gadget, std::int64_t attribute);
using GadgetSetAttribute = void (*)(GadgetObject* gadget, std::int64_t attribute,
                                    std::int64_t value);
using GadgetGetItemAttribute = std::int64_t (*)(GadgetObject* gadget, std::int64_t item,
                                                std::int64_t attribute, std::int64_t column);
using GadgetSetItemAttribute = void (*)(GadgetObject* gadget, std::int64_t item,
                                        std::int64_t attribute, std::int64_t value,
                                        std::int64_t column);
using GadgetSetColor = void (*)(GadgetObject* gadget, std::int64_t which, std::int64_t color);
using GadgetGetColor = std::int64_t (*)(GadgetObject* gadget, std::int64_t which);
using GadgetSetFont = void (*)(GadgetObject* gadget, HFONT font);
using GadgetUnusedSlot = void*;

struct GadgetKind {
  std::int32_t kind_id;
  std::int32_t table_size;                // GADGET_KIND_TABLE_SIZE
  GadgetParentMessage on_parent_message;  // 1
  GadgetRelease release;                  // 2
  GadgetGetState get_state;               // 3
  GadgetSetState set_state;               // 4
  GadgetGetText get_text;                 // 5
  GadgetSetText set_text;                 // 6
  GadgetUnusedSlot slot_7;
  GadgetUnusedSlot slot_8;
  GadgetRemoveItem remove_item;  // 9
  GadgetUnusedSlot slot_10;
  GadgetUnusedSlot slot_11;
  GadgetCountItems count_items;       // 12
  GadgetGetItemState get_item_state;  // 13
  GadgetSetItemState set_item_state;  // 14
  GadgetGetItemText get_item_text;    // 15
  GadgetSetItemText set_item_text;    // 16
  GadgetUnusedSlot slot_17;
  GadgetUnusedSlot slot_18;
  GadgetUnusedSlot slot_19;
  GadgetUnusedSlot slot_20;
  GadgetUnusedSlot slot_21;
  GadgetUnusedSlot slot_22;
  GadgetAddColumn add_column;                 // 23
  GadgetRemoveColumn remove_column;           // 24
  GadgetGetAttribute get_attribute;           // 25
  GadgetSetAttribute set_attribute;           // 26
  GadgetGetItemAttribute get_item_attribute;  // 27
  GadgetSetItemAttribute set_item_attribute;  // 28
  GadgetSetColor set_color;                   // 29
  GadgetGetColor get_color;                   // 30
  GadgetUnusedSlot slot_31;
  GadgetUnusedSlot slot_32;
  GadgetUnusedSlot slot_33;
  GadgetUnusedSlot slot_34;
  GadgetUnusedSlot slot_35;
  GadgetUnusedSlot slot_36;
  GadgetUnusedSlot slot_37;
  GadgetSetFont set_font;  // 38
  GadgetUnusedSlot slot_39;
};

constexpr std::int32_t GADGET_KIND_TABLE_SIZE = 320;
static_assert(sizeof(GadgetKind) == GADGET_KIND_TABLE_SIZE, "two 32-bit fields and 39 slots");

// A kind's table with every slot empty; the kind fills the slots it has.
constexpr GadgetKind gadget_kind_table(std::int32_t kind_id) {
  GadgetKind kind{};
  kind.kind_id = kind_id;
  kind.table_size = GADGET_KIND_TABLE_SIZE;
  return kind;
}

// Kind numbers.
constexpr std::int32_t KIND_BUTTON = 1;
constexpr std::int32_t KIND_STRING = 2;
constexpr std::int32_t KIND_TEXT = 3;
constexpr std::int32_t KIND_CHECKBOX = 4;
constexpr std::int32_t KIND_LIST_BOX = 6;
constexpr std::int32_t KIND_IMAGE = 9;
constexpr std::int32_t KIND_LIST_ICON = 12;
constexpr std::int32_t KIND_PROGRESS = 14;
constexpr std::int32_t KIND_TRACKBAR = 17;
constexpr std::int32_t KIND_IMAGE_BUTTON = 19;
constexpr std::int32_t KIND_EXPLORER_LIST = 23;
constexpr std::int32_t KIND_TREE = 24;
constexpr std::int32_t KIND_EXPLORER_TREE = 27;

// The property that holds a gadget's identifier beside the control's own
// window identifier; a control belongs to the toolkit while the two agree.
constexpr const char* GADGET_ID_PROPERTY = "ZQ_ID";

// The common creation path, in the order a kind calls it:
//
// 1. gadget_create_control makes the platform control inside the current
//    gadget list with the current gadget font still to come; null when there
//    is no gadget list or the platform refuses the control.
// 2. The kind may put a procedure of its own in front of the control.
// 3. gadget_register makes it gadget `number` (ANY_OBJECT: a dynamic one):
//    the record with the kind's initial fields, the gadget procedure in
//    front of everything, the identifier in the control and in "ZQ_ID",
//    and the current gadget font. A live gadget of the same number is freed
//    first. Null (and the control destroyed) when no record can be had.
// 4. gadget_creation_result gives the create operation's answer.
HWND gadget_create_control(const char* class_name, const char* text, DWORD style, DWORD ex_style,
                           int x, int y, int width, int height);
GadgetObject* gadget_register(object_number number, HWND control, const GadgetKind* kind,
                              const void* fields = nullptr, std::size_t fields_size = 0);
template <typename Fields>
GadgetObject* gadget_register(object_number number, HWND control, const GadgetKind* kind,
                              const Fields& fields) {
  static_assert(sizeof(Fields) <= sizeof(GadgetObject::kind_fields));
  return gadget_register(number, control, kind, &fields, sizeof fields);
}
// The control handle for a number, the record's address for ANY_OBJECT,
// 0 when there is no gadget.
std::uintptr_t gadget_creation_result(object_number number, const GadgetObject* gadget);

// The gadget of a number or handle, or null.
GadgetObject* gadget_object(object_number gadget);
// The gadget that a control is, or null when it is none (or no longer one).
GadgetObject* gadget_of_control(HWND control);
// The gadget's identifier: its number, or its record's address.
std::int64_t gadget_identifier(const GadgetObject* gadget);

// Queues EVENT_GADGET for the gadget that `control` is, in the toolkit
// window that holds it. Only the thread that waits for events may call it.
void gadget_post_event(HWND control, std::int64_t type);

// Puts a kind's own procedure in front of a control. Every control of one
// class has the same class procedure behind it, so one saved procedure per
// kind serves all its controls: `saved` gets the replaced one the first time.
void gadget_subclass(HWND control, WNDPROC procedure, WNDPROC* saved);

// Puts a procedure in front of one window (a gadget list, a window that
// holds explorer lists) and keeps the procedure it replaces for
// window_pass_on; false when it is in front of that window already. For
// windows of the thread that waits for events.
bool window_subclass(HWND window, WNDPROC procedure);
// Hands a message on to the procedure that `procedure` replaced on the
// window, or to default processing when there is none. The record of the
// replaced procedure goes with the window's non-client destroy.
LRESULT window_pass_on(WNDPROC procedure, HWND window, UINT message, WPARAM first, LPARAM second);

// The gadget lock: guards what the gadgets of several threads share (the
// brush cache). Null while the gadgets are down.
PlatformLock* gadget_lock();
