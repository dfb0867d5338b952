// Gadgets: numbered platform controls inside toolkit windows, created in the
// current gadget list (gui/gadgets/gadget_list.h) and reporting EVENT_GADGET
// (gui/core/events.h). Places and sizes are in the toolkit's units, pixels
// at 96 DPI, which the control shows scaled to its window's DPI, as it
// shows its font (gui/gadgets/gadget_dpi.h). Each create operation answers the control handle for a
// number, the record's address (the gadget's handle) for ANY_OBJECT, and 0
// when there is no gadget list or the platform refuses the control. Every
// other operation on a value that names no gadget does nothing and answers
// 0 or the empty string.
//
// THREADS. Gadgets belong to the toolkit's main thread (the one that waits
// for events, gui/core/toolkit_thread.h). Only the main thread creates a
// gadget, frees one (gadget_free, or by closing its window) and changes
// fonts, tooltips, colours and the gadget list. Another thread (the
// application's resize job) may call gadget_get_state, gadget_set_state,
// gadget_get_text and gadget_set_text of the eight kinds below, not of an
// explorer list (whose new text lists a directory on the calling thread).
// Those calls find the gadget in the registry without a lock and reach the
// control through a synchronous platform message that runs on the main
// thread: the main thread must keep waiting for events while such a thread
// runs (never block on it), or both stop.
//
// THE REGISTRY TAKES NO LOCK. While another thread uses gadgets, the main
// thread creates and frees none: a released record, or a number taken
// again, would change under that thread's look-up. The program says when
// such a thread starts and when it no longer touches gadgets
// (gadget_set_worker_running); debug builds assert at every creation and
// every release of a record that it happens on the main thread and while no
// worker runs.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/registry.h"

// Joins the gadget kind (the current gadget list, the gadget lock, the
// registry, the common control classes) to the runtime's start-up, and
// freeing every gadget and the tooltip window to its shutdown; registers the
// gadgets' handler of control messages and the gadget list of new windows
// with the core (gui/core/window_hooks.h). A program with gadgets calls it
// before runtime_start, beside windows_join_runtime.
void gadgets_join_runtime();

// Main thread only. `true` before another thread starts to use gadgets
// (after the gadgets it uses exist), `false` once it touches none any more
// (when the main thread has learnt that it ended). In between, a creation
// or a free is a fault that debug builds stop at.
void gadget_set_worker_running(bool running);

// Flags that mean something beyond the platform's own style bits.
constexpr std::uint32_t GADGET_SUNKEN = 0x20000;     // text: sunken edge; string: no sunken edge
constexpr std::uint32_t IMAGE_RAISED = 0x1;          // image: raised frame
constexpr std::uint32_t IMAGE_SUNKEN = 0x200;        // image: sunken edge
constexpr std::uint32_t CHECKBOX_THREE_STATE = 0x5;  // both bits: a three-state box
constexpr std::uint32_t TRACKBAR_VERTICAL = 0x2;
// Text placement and field kinds the application passes.
constexpr std::uint32_t TEXT_CENTERED = 0x1;
constexpr std::uint32_t STRING_NUMBERS = 0x2000;
constexpr std::uint32_t STRING_RIGHT = 0x2;
constexpr std::uint32_t TRACKBAR_TICKS = 0x1;
constexpr std::uint32_t PROGRESS_SMOOTH = 0x1;

std::uintptr_t gadget_create_button(object_number number, int x, int y, int width, int height,
                                    const char* text, std::uint32_t flags = 0);
std::uintptr_t gadget_create_string(object_number number, int x, int y, int width, int height,
                                    const char* text, std::uint32_t flags = 0);
std::uintptr_t gadget_create_text(object_number number, int x, int y, int width, int height,
                                  const char* text, std::uint32_t flags = 0);
std::uintptr_t gadget_create_checkbox(object_number number, int x, int y, int width, int height,
                                      const char* text, std::uint32_t flags = 0);
// `image` is an image handle (bitmap or icon) or 0.
std::uintptr_t gadget_create_image(object_number number, int x, int y, int width, int height,
                                   std::uintptr_t image, std::uint32_t flags = 0);
std::uintptr_t gadget_create_progress(object_number number, int x, int y, int width, int height,
                                      int minimum, int maximum, std::uint32_t flags = 0);
std::uintptr_t gadget_create_trackbar(object_number number, int x, int y, int width, int height,
                                      int minimum, int maximum, std::uint32_t flags = 0);
std::uintptr_t gadget_create_image_button(object_number number, int x, int y, int width, int height,
                                          std::uintptr_t image, std::uint32_t flags = 0);

// State: the kind's value (check state, position, shown image, selected
// item); the value is taken as 32 bits, sign-extended. 0 for kinds without.
void gadget_set_state(object_number gadget, std::int64_t value);
std::int64_t gadget_get_state(object_number gadget);
// Text: the kind's text, by default the control's window text. A null text
// is the empty string.
std::string gadget_get_text(object_number gadget);
void gadget_set_text(object_number gadget, const char* text);
std::string gadget_get_item_text(object_number gadget, std::int64_t item, std::int64_t column = 0);
// One tooltip window for all gadgets; a second call replaces the tip.
void gadget_set_tooltip(object_number gadget, const char* text);
// state != 0 disables the control, 0 enables it.
void gadget_disable(object_number gadget, int state);
// Destroys the gadget (its queued events go with it); -1 frees every gadget.
void gadget_free(object_number gadget);

// A platform font handle, or -1 for the platform's default GUI font. Gadget
// -1 sets the font of gadgets created from now on; existing ones keep theirs.
constexpr std::intptr_t GADGET_DEFAULT_FONT = -1;
constexpr object_number GADGETS_TO_COME = -1;
void gadget_set_font(object_number gadget, std::intptr_t font);

// Kind operations that only some kinds have (the explorer list, the
// attributes and colours of the kinds above). A kind without the
// operation does nothing and answers 0 (a colour: -1, the default).
void gadget_add_column(object_number gadget, std::int64_t position, const char* title,
                       std::int64_t width);
void gadget_remove_column(object_number gadget, std::int64_t position);
std::int64_t gadget_count_items(object_number gadget);
void gadget_remove_item(object_number gadget, std::int64_t item);
std::int64_t gadget_get_item_state(object_number gadget, std::int64_t item);
void gadget_set_item_state(object_number gadget, std::int64_t item, std::int64_t state);
void gadget_set_item_text(object_number gadget, std::int64_t item, const char* text,
                          std::int64_t column = 0);
std::int64_t gadget_get_attribute(object_number gadget, std::int64_t attribute);
void gadget_set_attribute(object_number gadget, std::int64_t attribute, std::int64_t value);
std::int64_t gadget_get_item_attribute(object_number gadget, std::int64_t item,
                                       std::int64_t attribute, std::int64_t column = 0);
void gadget_set_item_attribute(object_number gadget, std::int64_t item, std::int64_t attribute,
                               std::int64_t value, std::int64_t column = 0);
// Colours are 0x00BBGGRR; -1 is the default.
constexpr std::int64_t GADGET_DEFAULT_COLOR = -1;
void gadget_set_color(object_number gadget, std::int64_t which, std::int64_t color);
std::int64_t gadget_get_color(object_number gadget, std::int64_t which);

// Attribute and colour numbers of the kinds.
constexpr std::int64_t STRING_MAX_LENGTH = 1;
constexpr std::int64_t RANGE_MINIMUM = 1;  // progress and track bar
constexpr std::int64_t RANGE_MAXIMUM = 2;
constexpr std::int64_t IMAGE_BUTTON_IMAGE = 1;
constexpr std::int64_t IMAGE_BUTTON_PRESSED_IMAGE = 2;
// The button's picture drawn larger (twice its size, say): in a window
// above 96 DPI the button shows it made smaller to the picture's size at
// that DPI, which stays sharp where the picture itself would be enlarged.
constexpr std::int64_t IMAGE_BUTTON_DETAILED_IMAGE = 3;
constexpr std::int64_t COLOR_FRONT = 1;  // text and string: text; progress: bar
constexpr std::int64_t COLOR_BACK = 2;

// The common controls' version (major * 65536 + minor), found once; also
// decides whether themed_controls() is true.
std::int64_t controls_probe();
bool themed_controls();
// Test hook: image buttons draw as with themed controls (1) or without (0);
// -1 goes back to what the probe found.
void themed_controls_override(int themed);
