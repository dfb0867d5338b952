// The geometry of the toolkit's own sizing loop: which edges a drag moves,
// the clamping to the tracking limits, the keyboard's choice of edges and
// the cursors that go with them.
#pragma once

// Edges as the platform numbers them (0: none chosen yet, keyboard start).
enum SizingEdge : int {
  EDGE_NONE = 0,
  EDGE_LEFT = 1,
  EDGE_RIGHT = 2,
  EDGE_TOP = 3,
  EDGE_TOP_LEFT = 4,
  EDGE_TOP_RIGHT = 5,
  EDGE_BOTTOM = 6,
  EDGE_BOTTOM_LEFT = 7,
  EDGE_BOTTOM_RIGHT = 8
};

// Arrow keys by their platform key codes.
constexpr int KEY_LEFT = 37;
constexpr int KEY_UP = 38;
constexpr int KEY_RIGHT = 39;
constexpr int KEY_DOWN = 40;
// Distance an arrow key moves the cursor and the edge.
constexpr int SIZING_KEY_STEP = 10;

// System cursors of the loop.
constexpr int CURSOR_SIZE_NWSE = 32642;
constexpr int CURSOR_SIZE_NESW = 32643;
constexpr int CURSOR_SIZE_WE = 32644;
constexpr int CURSOR_SIZE_NS = 32645;
constexpr int CURSOR_SIZE_ALL = 32646;

struct SizingPoint {
  int x, y;
};

// Screen rectangle; right and bottom lie just outside.
struct SizingRect {
  int left, top, right, bottom;
};

struct SizingLimits {
  int min_width, min_height, max_width, max_height;
};

// Moves the dragged edge(s) to the point, then keeps width and height within
// the limits by moving the dragged edge back (the opposite edge stays).
SizingRect sizing_drag(SizingRect rect, int edge, SizingPoint point, const SizingLimits& limits);

// What an arrow key does in the loop.
struct SizingKeyStep {
  int edge;            // the edge chosen after the key
  bool chosen;         // true: the key chose (or combined into) an edge
  SizingPoint cursor;  // where the cursor goes
};

// With no edge, the key chooses one and the cursor goes onto it; a key
// perpendicular to a chosen side makes a corner, the cursor 2 pixels inside
// it; otherwise the cursor moves by 10 pixels and the edge follows it.
SizingKeyStep sizing_arrow_key(int edge, int key, SizingRect rect, SizingPoint cursor);

// The system cursor that shows an edge (the four-way cursor for none).
int sizing_cursor(int edge);
