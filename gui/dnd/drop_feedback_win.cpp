// Drop feedback in list views, list boxes and tree views.
#include "gui/dnd/drop_feedback.h"

#include <commctrl.h>

#include <cstddef>

#include "runtime/scoped_win.h"

namespace {

struct KindStyle {
  std::int32_t kind;
  DropFeedbackStyle style;
};

// The registered kinds; a handful at most, kept for the process.
constexpr std::size_t kMaxKinds = 16;
KindStyle kind_styles[kMaxKinds] = {};
std::size_t kind_count = 0;

DropFeedbackStyle style_of(std::int32_t owner_kind) {
  for (std::size_t i = 0; i < kind_count; ++i)
    if (kind_styles[i].kind == owner_kind) return kind_styles[i].style;
  return DropFeedbackStyle::None;
}

void set_list_view_state(HWND list, int item, UINT mask, UINT state) {
  LVITEMA change{};
  change.stateMask = mask;
  change.state = state;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(&change));
}

// List views: the drop highlight follows the pointer; a drop selects and
// focuses the item under it alone. While the pointer stays on the lit item
// the highlight is left as it is: clearing and setting it again on every
// move of the pointer made the list flicker. `hover_item` is the lit item.
void list_view_feedback(HWND list, DropFeedback mode, POINT point, std::int32_t* hover_item) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  const bool over_items = mode == DropFeedback::HoverAcceptable || mode == DropFeedback::Dropped;
  const auto index =
      over_items
          ? static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)))
          : -1;
  if (mode == DropFeedback::HoverAcceptable && index >= 0 && index == *hover_item &&
      (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_DROPHILITED) &
       LVIS_DROPHILITED))
    return;
  set_list_view_state(list, -1, LVIS_DROPHILITED, 0);
  *hover_item = -1;
  if (mode == DropFeedback::Dropped) {
    constexpr UINT kChosen = LVIS_SELECTED | LVIS_FOCUSED;
    set_list_view_state(list, -1, kChosen, 0);
    if (index >= 0) set_list_view_state(list, index, kChosen, kChosen);
  } else if (mode == DropFeedback::HoverAcceptable && index >= 0) {
    set_list_view_state(list, index, LVIS_DROPHILITED, LVIS_DROPHILITED);
    *hover_item = index;
  }
}

// The list-box item under a point, -1 for none.
std::int32_t list_box_item_at(HWND box, POINT point) {
  const LRESULT answer = SendMessageA(box, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(answer) != 0) return -1;
  const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
  return LOWORD(answer) < count ? static_cast<std::int32_t>(LOWORD(answer)) : -1;
}

void repaint(HWND box, const RECT* area) {
  InvalidateRect(box, area, TRUE);
  UpdateWindow(box);
}

// List boxes: a focus rectangle outlines the item under the pointer; a drop
// selects that item.
void list_box_feedback(HWND box, DropFeedback mode, POINT point, std::int32_t* hover_item) {
  if (mode == DropFeedback::HoverRefused || mode == DropFeedback::Leave) {
    if (*hover_item != -1) repaint(box, nullptr);
    *hover_item = -1;
    return;
  }
  const std::int32_t item = list_box_item_at(box, point);
  if (mode == DropFeedback::Dropped) {
    repaint(box, nullptr);
    *hover_item = -1;
    if (item == -1) return;
    if (GetWindowLongPtrA(box, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
      SendMessageA(box, LB_SETSEL, FALSE, -1);
      SendMessageA(box, LB_SETSEL, TRUE, item);
    } else {
      SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    }
    return;
  }
  if (item == *hover_item) return;
  RECT old{};
  if (*hover_item != -1 && SendMessageA(box, LB_GETITEMRECT, static_cast<WPARAM>(*hover_item),
                                        reinterpret_cast<LPARAM>(&old)) != LB_ERR)
    repaint(box, &old);
  else
    repaint(box, nullptr);
  *hover_item = item;
  RECT area{}, client{};
  if (item == -1 || SendMessageA(box, LB_GETITEMRECT, static_cast<WPARAM>(item),
                                 reinterpret_cast<LPARAM>(&area)) == LB_ERR)
    return;
  GetClientRect(box, &client);
  IntersectRect(&area, &area, &client);
  if (const WindowDc dc(box); dc) DrawFocusRect(dc.get(), &area);
}

// Clears a tree's drop highlight. Wine ignores the clearing while no item
// is the current one; the highlighted item then loses the mark by hand.
void clear_tree_highlight(HWND tree) {
  SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  const LRESULT left = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0);
  if (!left) return;
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_STATE;
  item.hItem = reinterpret_cast<HTREEITEM>(left);
  item.stateMask = TVIS_DROPHILITED;
  SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Tree views: the drop highlight marks the item under the pointer; a drop
// makes it the current item.
void tree_feedback(HWND tree, DropFeedback mode, POINT point) {
  TVHITTESTINFO hit{};
  hit.pt = point;
  switch (mode) {
    case DropFeedback::HoverAcceptable:
      SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE,
                   SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      break;
    case DropFeedback::Dropped:
      // The current item first: with one, the clearing is not ignored.
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET,
                   SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      clear_tree_highlight(tree);
      break;
    default:
      clear_tree_highlight(tree);
      break;
  }
}

}  // namespace

void drop_feedback_register(std::int32_t owner_kind, DropFeedbackStyle style) {
  for (std::size_t i = 0; i < kind_count; ++i)
    if (kind_styles[i].kind == owner_kind) {
      kind_styles[i].style = style;
      return;
    }
  if (kind_count < kMaxKinds) kind_styles[kind_count++] = KindStyle{owner_kind, style};
}

void drop_feedback_show(std::int32_t owner_kind, HWND owner, DropFeedback mode, POINT client,
                        std::int32_t* hover_item) {
  switch (style_of(owner_kind)) {
    case DropFeedbackStyle::ListView:
      list_view_feedback(owner, mode, client, hover_item);
      break;
    case DropFeedbackStyle::ListBox:
      list_box_feedback(owner, mode, client, hover_item);
      break;
    case DropFeedbackStyle::TreeView:
      tree_feedback(owner, mode, client);
      break;
    case DropFeedbackStyle::None:
      break;
  }
}
