// Window styles from the flags of window_open, and the window's position.
#include "gui/core/window_style.h"

#include <algorithm>

namespace {
constexpr std::uint32_t kToolboxBits = 0x21030000;  // min/max boxes, initially min/max
constexpr std::uint32_t kToolkitFlagBits = 0xF;     // centring, tool, no gadget list
constexpr std::uint32_t kCaptionlessBits =
    WINDOW_INVISIBLE | WINDOW_SCREEN_CENTERED | WINDOW_PARENT_CENTERED | WINDOW_NO_GADGET_LIST;
}  // namespace

WindowStyle window_style_from_flags(std::uint32_t flags) {
  WindowStyle result{flags & ~(kToolkitFlagBits | WINDOW_INVISIBLE), 0};
  if (flags & WINDOW_TOOL) {
    result.ex_style = EXSTYLE_TOOL_WINDOW;
    result.style = (result.style & ~kToolboxBits) | STYLE_CAPTION;
  }
  // Flags 0 (or only centring) still give a captioned window.
  if ((flags & ~kCaptionlessBits) == 0) result.style |= STYLE_CAPTION;
  return result;
}

int window_min_or_max_from_style(std::uint32_t style) {
  return (style & (STYLE_MINIMIZED | STYLE_MAXIMIZED)) ? 1 : 0;
}

WindowPlacement window_place(std::uint32_t flags, int x, int y, int width, int height,
                             int screen_width, int screen_height, const WindowRect* reference) {
  WindowPlacement placement{x, y, width, height};
  const bool centred = (flags & (WINDOW_SCREEN_CENTERED | WINDOW_PARENT_CENTERED)) != 0;
  const bool ignored = x == POS_IGNORE || y == POS_IGNORE;
  if (flags & WINDOW_SCREEN_CENTERED) {
    placement.width = std::min(width, screen_width);
    placement.height = std::min(height, screen_height);
    placement.x = (screen_width - placement.width) / 2;
    placement.y = (screen_height - placement.height) / 2;
  } else if ((flags & WINDOW_PARENT_CENTERED) && reference) {
    placement.x = std::max(0, reference->left + (reference->width - width) / 2);
    placement.y = std::max(0, reference->top + (reference->height - height) / 2);
  } else if (ignored && (!centred || !reference)) {
    // Also when parent centring finds no window to centre on: -65535 would
    // put the window far off the screen.
    placement.x = PLATFORM_DEFAULT_POSITION;
    placement.y = PLATFORM_DEFAULT_POSITION;
  }
  return placement;
}
