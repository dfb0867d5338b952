// What a drop target shows while something is dragged over it: list views
// highlight the item under the pointer, list boxes outline it, tree views
// mark it; after the drop that item is the selected one. Which of these an
// owner shows is its kind's choice: a gadget kind registers its style (the
// explorer list registers the list view's); windows and kinds without one
// show nothing.
#pragma once

#include <windows.h>

#include <cstdint>

enum class DropFeedbackStyle : int {
  None = 0,
  ListView = 1,
  ListBox = 2,
  TreeView = 3,
};

// The style of a gadget kind (its kind number), for the process; a second
// registration replaces the first. Made on the main thread, before the kind's
// first gadget can take a drop.
void drop_feedback_register(std::int32_t owner_kind, DropFeedbackStyle style);

enum class DropFeedback : int {
  HoverAcceptable = 1,
  HoverRefused = 2,
  Dropped = 3,
  Leave = 4,
};

// Shows the feedback for an owner of `owner_kind` (a gadget's kind number,
// 0 for a window) in the style registered for that kind, at a client point.
// `hover_item` is the item currently outlined (list boxes) or highlighted
// (list views), -1 for none.
void drop_feedback_show(std::int32_t owner_kind, HWND owner, DropFeedback mode, POINT client,
                        std::int32_t* hover_item);
