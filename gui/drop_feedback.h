// What a drop target shows while something is dragged over it: list views
// highlight the item under the pointer, list boxes outline it, tree views
// mark it; after the drop that item is the selected one.
#pragma once

#include <windows.h>

#include <cstdint>

enum class DropFeedback : int {
  HoverAcceptable = 1,
  HoverRefused = 2,
  Dropped = 3,
  Leave = 4,
};

// Shows the feedback for an owner of `owner_kind` (a gadget's kind number,
// 0 for a window: nothing) at a client point. `hover_item` is the item
// currently outlined (list boxes) or highlighted (list views), -1 for none.
void drop_feedback_show(std::int32_t owner_kind, HWND owner, DropFeedback mode, POINT client,
                        std::int32_t* hover_item);
