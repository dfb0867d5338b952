// The rules of window_open that need no window: the platform styles that
// follow from the flags, and where a window goes.
#pragma once

#include <cstdint>

// Flags of window_open. Bits not named here are platform window-style bits
// and go to the platform unchanged.
constexpr std::uint32_t WINDOW_SCREEN_CENTERED = 0x1;
constexpr std::uint32_t WINDOW_PARENT_CENTERED = 0x2;
constexpr std::uint32_t WINDOW_TOOL = 0x4;
constexpr std::uint32_t WINDOW_NO_GADGET_LIST = 0x8;
constexpr std::uint32_t WINDOW_INVISIBLE = 0x10000000;
// Caption and system menu: the flags when none are given.
constexpr std::uint32_t WINDOW_DEFAULT_FLAGS = 0x00C80000;

// An x or y of this value lets the platform choose the position.
constexpr int POS_IGNORE = -65535;
// The platform's "default position" value.
constexpr int PLATFORM_DEFAULT_POSITION = static_cast<int>(0x80000000u);

// Platform style bits the rules touch.
constexpr std::uint32_t STYLE_CAPTION = 0x00C00000;
constexpr std::uint32_t STYLE_MINIMIZED = 0x20000000;
constexpr std::uint32_t STYLE_MAXIMIZED = 0x01000000;
constexpr std::uint32_t EXSTYLE_TOOL_WINDOW = 0x80;

struct WindowStyle {
  std::uint32_t style;
  std::uint32_t ex_style;
};

// Bits 0-3 and the invisible bit never reach the platform. Without any bit
// of its own (beyond centring) the window gets a caption; a tool window
// gets the tool frame and a caption, and loses the minimise and maximise
// boxes and the initially minimised or maximised bits.
WindowStyle window_style_from_flags(std::uint32_t flags);
// 1 when the style asks for a minimised or maximised window.
int window_min_or_max_from_style(std::uint32_t style);

struct WindowRect {
  int left, top, width, height;
};

struct WindowPlacement {
  int x, y, width, height;
};

// Where the window of outer size (width, height) goes. `reference` is the
// window to centre on for WINDOW_PARENT_CENTERED (the parent, else the
// active window), or null when there is none.
WindowPlacement window_place(std::uint32_t flags, int x, int y, int width, int height,
                             int screen_width, int screen_height, const WindowRect* reference);
