// The explorer list gadget: the contents of one directory (or the drives)
// in a platform list view, with columns chosen by title key, shell icons, a
// pattern list that selects the files, optional navigation, sorting by any
// column and refreshing by itself when the directory changes on disk.
//
// Its text is the directory shown (with its trailing backslash), so that
// the text followed by an item's name is that file's path; setting a text
// shows another directory and/or pattern list ("C:\Bilder\*.jpg;*.png",
// "D:\Daten\", "*.txt"; an empty text shows the drives). Its state is the
// first selected item, -1 when none is. The generic gadget calls of
// gui/gadgets/gadgets.h reach it, the column and item calls among them.
//
// Like every gadget it belongs to the main thread; in particular its text is
// set there only, since setting it lists the directory on the calling thread.
//
// Events (EVENT_GADGET): left click 0, right click 1, double click or Enter
// on a file (on anything with EXPLORER_NO_NAVIGATION) 2, right double click
// 3, the start of dragging an item 14002 (all queued); a double click or
// Enter that navigated or found nothing selected raises 768 (queued), and
// every change of an item's selection 768 at once.
#pragma once

#include <cstdint>

#include "gui/explorer/explorer_rules.h"
#include "runtime/registry.h"

// Attributes, item attributes, item states and colours of the list.
constexpr std::int64_t EXPLORER_DISPLAY_MODE =
    2;  // 0 large icons, 1 small icons, 2 list, 3 details
constexpr std::int64_t EXPLORER_COLUMN_WIDTH = 1;  // item attribute, by column
constexpr std::int64_t EXPLORER_ITEM_FILE = 1;     // item state: a file, else 2
constexpr std::int64_t EXPLORER_ITEM_OTHER = 2;
constexpr std::int64_t EXPLORER_ITEM_SELECTED = 4;
constexpr std::int64_t EXPLORER_COLOR_TEXT = 1;
constexpr std::int64_t EXPLORER_COLOR_BACK = 2;
constexpr std::int64_t EXPLORER_COLOR_GRID = 3;  // only kept; the list draws with it

// A list with the columns name, size, type and modified (100 pixels each)
// showing `text`; flags from gui/explorer/explorer_rules.h.
std::uintptr_t gadget_create_explorer_list(object_number number, int x, int y, int width,
                                           int height, const char* text, std::uint32_t flags = 0);
