// Drag and drop: windows and gadgets that accept data dragged onto them
// from other programs through the platform's OLE protocol. A drop raises
// EVENT_WINDOW_DROP or EVENT_GADGET_DROP (gui/core/events.h); its record lives
// until the next event_wait.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gui/dnd/drop_rules.h"
#include "runtime/registry.h"

// Formats: a platform data-format number, or the toolkit's private format,
// whose data is a 32-bit private type number chosen by the two sides.
constexpr std::int32_t DROP_FILES = 15;
constexpr std::int32_t DROP_PRIVATE = 512;
// Actions (the platform's drop effects); 0 withdraws a format.
constexpr std::int32_t DROP_COPY = 1;
constexpr std::int32_t DROP_MOVE = 2;
constexpr std::int32_t DROP_LINK = 4;

// Joins the platform's OLE initialisation and its counterpart to the
// runtime's start-up and shutdown, and the withdrawal of a drop target to
// the closing of its window or gadget. A program that takes drops calls it
// before runtime_start, beside windows_join_runtime and gadgets_join_runtime.
void drag_drop_join_runtime();

// Enables (actions != 0) or withdraws (actions == 0) a format on a gadget or
// a window; withdrawing the last one removes the drop target. Nothing
// happens for format 0 or an owner that does not exist.
void gadget_enable_drop(object_number gadget, std::int32_t format, std::int32_t actions,
                        std::int32_t private_type = 0);
void window_enable_drop(object_number window, std::int32_t format, std::int32_t actions,
                        std::int32_t private_type = 0);

// The files of the current drop event: their paths joined by "\n" (empty
// for any event without a file list), each exactly the file dropped; and
// the names the ANSI code page cannot hold (outside the UTF-8 code page),
// which are left out rather than replaced by a look-alike that would name
// another file, shown with "?" for what the code page lacks: for telling
// the user, not for use.
DroppedFiles event_dropped_files();
// The paths alone.
std::string event_drop_files();
