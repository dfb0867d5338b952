// Sizing loop geometry.
#include "gui/core/sizing_geometry.h"

namespace {

bool moves_left(int edge) {
  return edge == EDGE_LEFT || edge == EDGE_TOP_LEFT || edge == EDGE_BOTTOM_LEFT;
}
bool moves_right(int edge) {
  return edge == EDGE_RIGHT || edge == EDGE_TOP_RIGHT || edge == EDGE_BOTTOM_RIGHT;
}
bool moves_top(int edge) {
  return edge == EDGE_TOP || edge == EDGE_TOP_LEFT || edge == EDGE_TOP_RIGHT;
}
bool moves_bottom(int edge) {
  return edge == EDGE_BOTTOM || edge == EDGE_BOTTOM_LEFT || edge == EDGE_BOTTOM_RIGHT;
}

int clamp(int value, int low, int high) {
  if (value > high) value = high;
  if (value < low) value = low;
  return value;
}

// The corner a side and a perpendicular arrow make, or EDGE_NONE.
int corner_of(int edge, int key) {
  const bool vertical_key = key == KEY_UP || key == KEY_DOWN;
  if ((edge == EDGE_LEFT || edge == EDGE_RIGHT) && vertical_key) {
    if (edge == EDGE_LEFT) return key == KEY_UP ? EDGE_TOP_LEFT : EDGE_BOTTOM_LEFT;
    return key == KEY_UP ? EDGE_TOP_RIGHT : EDGE_BOTTOM_RIGHT;
  }
  if ((edge == EDGE_TOP || edge == EDGE_BOTTOM) && !vertical_key) {
    if (edge == EDGE_TOP) return key == KEY_LEFT ? EDGE_TOP_LEFT : EDGE_TOP_RIGHT;
    return key == KEY_LEFT ? EDGE_BOTTOM_LEFT : EDGE_BOTTOM_RIGHT;
  }
  return EDGE_NONE;
}

int side_of(int key) {
  switch (key) {
    case KEY_LEFT:
      return EDGE_LEFT;
    case KEY_UP:
      return EDGE_TOP;
    case KEY_RIGHT:
      return EDGE_RIGHT;
    default:
      return EDGE_BOTTOM;
  }
}

// Where the cursor sits on an edge: the middle of a side, or 2 pixels inside
// a corner.
SizingPoint cursor_on(int edge, SizingRect rect) {
  SizingPoint point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  const int inset =
      (edge == EDGE_LEFT || edge == EDGE_RIGHT || edge == EDGE_TOP || edge == EDGE_BOTTOM) ? 0 : 2;
  if (moves_left(edge)) point.x = rect.left + inset;
  if (moves_right(edge)) point.x = rect.right - inset;
  if (moves_top(edge)) point.y = rect.top + inset;
  if (moves_bottom(edge)) point.y = rect.bottom - inset;
  return point;
}

}  // namespace

SizingRect sizing_drag(SizingRect rect, int edge, SizingPoint point, const SizingLimits& limits) {
  if (moves_left(edge))
    rect.left = rect.right - clamp(rect.right - point.x, limits.min_width, limits.max_width);
  if (moves_right(edge))
    rect.right = rect.left + clamp(point.x - rect.left, limits.min_width, limits.max_width);
  if (moves_top(edge))
    rect.top = rect.bottom - clamp(rect.bottom - point.y, limits.min_height, limits.max_height);
  if (moves_bottom(edge))
    rect.bottom = rect.top + clamp(point.y - rect.top, limits.min_height, limits.max_height);
  return rect;
}

SizingKeyStep sizing_arrow_key(int edge, int key, SizingRect rect, SizingPoint cursor) {
  if (edge == EDGE_NONE) {
    const int side = side_of(key);
    return {side, true, cursor_on(side, rect)};
  }
  if (const int corner = corner_of(edge, key); corner != EDGE_NONE)
    return {corner, true, cursor_on(corner, rect)};
  switch (key) {
    case KEY_LEFT:
      cursor.x -= SIZING_KEY_STEP;
      break;
    case KEY_RIGHT:
      cursor.x += SIZING_KEY_STEP;
      break;
    case KEY_UP:
      cursor.y -= SIZING_KEY_STEP;
      break;
    default:
      cursor.y += SIZING_KEY_STEP;
      break;
  }
  return {edge, false, cursor};
}

int sizing_cursor(int edge) {
  switch (edge) {
    case EDGE_LEFT:
    case EDGE_RIGHT:
      return CURSOR_SIZE_WE;
    case EDGE_TOP:
    case EDGE_BOTTOM:
      return CURSOR_SIZE_NS;
    case EDGE_TOP_LEFT:
    case EDGE_BOTTOM_RIGHT:
      return CURSOR_SIZE_NWSE;
    case EDGE_TOP_RIGHT:
    case EDGE_BOTTOM_LEFT:
      return CURSOR_SIZE_NESW;
    default:
      return CURSOR_SIZE_ALL;
  }
}
