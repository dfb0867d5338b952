// The toolkit's rules that need no window: window styles and placement,
// sizing-loop geometry, the accelerator choice and keyboard cues, the focus
// order and the font height.
#include <gtest/gtest.h>

#include <vector>

#include "gui/core/focus_order.h"
#include "gui/core/fonts.h"
#include "gui/core/keyboard.h"
#include "gui/core/sizing_geometry.h"
#include "gui/core/window_style.h"

namespace {

TEST(WindowStyleTest, flags_give_caption_system_menu_and_tool_frames) {
  EXPECT_EQ(window_style_from_flags(0).style, STYLE_CAPTION);
  EXPECT_EQ(window_style_from_flags(WINDOW_SCREEN_CENTERED).style, STYLE_CAPTION);  // no sysmenu
  EXPECT_EQ(window_style_from_flags(0x00C80001).style, 0x00C80000u);
  EXPECT_EQ(window_style_from_flags(WINDOW_INVISIBLE | WINDOW_NO_GADGET_LIST).style,
            STYLE_CAPTION);  // toolkit bits never reach the platform
  const WindowStyle tool = window_style_from_flags(WINDOW_TOOL | 0x00CF0000 | STYLE_MAXIMIZED);
  EXPECT_EQ(tool.ex_style, EXSTYLE_TOOL_WINDOW);
  EXPECT_EQ(tool.style, 0x00CC0000u);  // boxes and the maximised bit cleared, caption kept
  EXPECT_EQ(window_style_from_flags(0x00040000).style, 0x00040000u);  // own bits: no caption
  EXPECT_EQ(window_min_or_max_from_style(STYLE_MINIMIZED | STYLE_CAPTION), 1);
  EXPECT_EQ(window_min_or_max_from_style(STYLE_CAPTION), 0);
}

TEST(WindowStyleTest, placement_centres_clips_and_defers_to_the_platform) {
  WindowPlacement p = window_place(WINDOW_SCREEN_CENTERED, 5, 5, 2000, 900, 1280, 1024, nullptr);
  EXPECT_EQ((std::vector<int>{p.x, p.y, p.width, p.height}), (std::vector<int>{0, 62, 1280, 900}));
  p = window_place(WINDOW_SCREEN_CENTERED, POS_IGNORE, 0, 301, 101, 1280, 1024, nullptr);
  EXPECT_EQ(p.x, 489);  // (1280 - 301) / 2, truncated
  EXPECT_EQ(p.y, 461);
  const WindowRect parent{100, 50, 200, 100};
  p = window_place(WINDOW_PARENT_CENTERED, 0, 0, 500, 50, 1280, 1024, &parent);
  EXPECT_EQ(p.x, 0);  // 100 + (200 - 500) / 2 = -50, raised to 0
  EXPECT_EQ(p.y, 75);
  p = window_place(0, POS_IGNORE, 30, 10, 10, 1280, 1024, nullptr);
  EXPECT_EQ(p.x, PLATFORM_DEFAULT_POSITION);
  EXPECT_EQ(p.y, PLATFORM_DEFAULT_POSITION);
  p = window_place(WINDOW_PARENT_CENTERED, 40, 30, 10, 10, 1280, 1024, nullptr);
  EXPECT_EQ(p.x, 40);  // nothing to centre on: the position stays
  p = window_place(WINDOW_PARENT_CENTERED, POS_IGNORE, POS_IGNORE, 10, 10, 1280, 1024, nullptr);
  EXPECT_EQ(p.x, PLATFORM_DEFAULT_POSITION);  // and POS_IGNORE still lets the platform choose
}

TEST(SizingGeometryTest, drags_move_the_chosen_edges_within_the_limits) {
  const SizingRect r{100, 100, 400, 300};
  const SizingLimits limits{120, 40, 500, 800};
  SizingRect out = sizing_drag(r, EDGE_BOTTOM_RIGHT, {450, 350}, limits);
  EXPECT_EQ((std::vector<int>{out.left, out.top, out.right, out.bottom}),
            (std::vector<int>{100, 100, 450, 350}));
  out = sizing_drag(r, EDGE_LEFT, {390, 0}, limits);  // too narrow: the right edge stays
  EXPECT_EQ((std::vector<int>{out.left, out.top, out.right, out.bottom}),
            (std::vector<int>{280, 100, 400, 300}));
  out = sizing_drag(r, EDGE_TOP_RIGHT, {2000, 299}, limits);
  EXPECT_EQ((std::vector<int>{out.left, out.top, out.right, out.bottom}),
            (std::vector<int>{100, 260, 600, 300}));
  out = sizing_drag(r, EDGE_NONE, {0, 0}, limits);
  EXPECT_EQ(out.right, 400);
}

TEST(SizingGeometryTest, arrow_keys_choose_edges_make_corners_and_step) {
  const SizingRect r{100, 100, 400, 300};
  SizingKeyStep step = sizing_arrow_key(EDGE_NONE, KEY_RIGHT, r, {0, 0});
  EXPECT_EQ(step.edge, EDGE_RIGHT);
  EXPECT_TRUE(step.chosen);
  EXPECT_EQ(step.cursor.x, 400);
  EXPECT_EQ(step.cursor.y, 200);
  EXPECT_EQ(sizing_cursor(step.edge), CURSOR_SIZE_WE);
  step = sizing_arrow_key(EDGE_RIGHT, KEY_UP, r, {400, 200});
  EXPECT_EQ(step.edge, EDGE_TOP_RIGHT);
  EXPECT_EQ(step.cursor.x, 398);  // 2 pixels inside the corner
  EXPECT_EQ(step.cursor.y, 102);
  EXPECT_EQ(sizing_cursor(step.edge), CURSOR_SIZE_NESW);
  step = sizing_arrow_key(EDGE_RIGHT, KEY_LEFT, r, {400, 200});
  EXPECT_EQ(step.edge, EDGE_RIGHT);
  EXPECT_FALSE(step.chosen);
  EXPECT_EQ(step.cursor.x, 390);
  step = sizing_arrow_key(EDGE_BOTTOM_LEFT, KEY_DOWN, r, {102, 298});
  EXPECT_EQ(step.edge, EDGE_BOTTOM_LEFT);
  EXPECT_EQ(step.cursor.y, 308);
  EXPECT_EQ(sizing_cursor(EDGE_TOP), CURSOR_SIZE_NS);
  EXPECT_EQ(sizing_cursor(EDGE_BOTTOM_RIGHT), CURSOR_SIZE_NWSE);
  EXPECT_EQ(sizing_cursor(EDGE_NONE), CURSOR_SIZE_ALL);
}

TEST(KeyboardTest, accelerator_choice_keeps_tab_for_writable_rich_edits) {
  const KeyboardState tab{true, true, false, false, false};
  EXPECT_TRUE(keyboard_choose_accelerators(tab, false, true).use_window_table);
  EXPECT_FALSE(keyboard_choose_accelerators(tab, true, true).use_window_table);
  const KeyboardState shift_tab{true, true, false, true, false};
  const AcceleratorChoice choice = keyboard_choose_accelerators(shift_tab, true, true);
  EXPECT_TRUE(choice.use_window_table);
  EXPECT_TRUE(choice.show_cues);
  EXPECT_FALSE(keyboard_choose_accelerators(tab, false, false).use_window_table);
  EXPECT_TRUE(keyboard_is_rich_edit_class("RichEdit20A"));
  EXPECT_TRUE(keyboard_is_rich_edit_class("RICHEDIT50W"));
  EXPECT_FALSE(keyboard_is_rich_edit_class("Edit"));
  EXPECT_EQ(keyboard_cue_update(0, true), 0u);
  EXPECT_EQ(keyboard_cue_update(1, true), UI_STATE_SHOW_CUES);
  EXPECT_EQ(keyboard_cue_update(2, false), UI_STATE_HIDE_CUES);
  EXPECT_EQ(keyboard_cue_update(3, false), 0u);
}

TEST(FocusOrderTest, tab_order_wraps_and_composites_count_once) {
  const std::vector<FocusStop> stops{{1, true}, {2, false}, {3, true}, {4, true}, {5, false}};
  EXPECT_EQ(focus_next(stops, 1, true), 3u);
  EXPECT_EQ(focus_next(stops, 4, true), 1u);  // wraps
  EXPECT_EQ(focus_next(stops, 0, true), 1u);
  EXPECT_EQ(focus_next(stops, 2, true), 3u);   // from a control that is no tab stop
  EXPECT_EQ(focus_next(stops, 1, false), 4u);  // backward from the first: the last
  EXPECT_EQ(focus_next(stops, 4, false), 3u);
  EXPECT_EQ(focus_next(stops, 99, false), 4u);
  EXPECT_EQ(focus_next({}, 1, true), 0u);

  // An edit inside a combo box inside an extended combo box with bit 0.
  const std::vector<FocusAncestor> combo{
      {10, "Edit", 0x50010000}, {11, "ComboBox", 0x50010000}, {12, "ComboBoxEx32", 0x50010001}};
  FocusSearchStart start = focus_search_start(combo, 99);
  EXPECT_EQ(start.root, 99u);
  EXPECT_EQ(start.current, 12u);
  const std::vector<FocusAncestor> mdi{{20, "Button", 0}, {21, "MDI_ChildClass", 0}};
  start = focus_search_start(mdi, 99);
  EXPECT_EQ(start.root, 21u);
  EXPECT_EQ(start.current, 20u);
  start = focus_search_start(std::vector<FocusAncestor>{{21, "MDI_ChildClass", 0}}, 99);
  EXPECT_EQ(start.root, 21u);
  EXPECT_EQ(start.current, 0u);
  EXPECT_EQ(focus_search_start({}, 99).current, 0u);
}

TEST(FontRulesTest, height_is_rounded_multiply_divide_and_flags_map_to_attributes) {
  EXPECT_EQ(font_height(14, 96), -19);  // 18.67 rounds to 19
  EXPECT_EQ(font_height(12, 96), -16);
  EXPECT_EQ(font_height(9, 120), -15);  // 15.0
  EXPECT_EQ(font_mul_div(3, 1, 2), 2);  // halves away from zero
  EXPECT_EQ(font_mul_div(-3, 1, 2), -2);
  EXPECT_EQ(font_mul_div(3, -1, -2), 2);
  EXPECT_EQ(font_mul_div(0x40000000, 8, 2), -1);  // does not fit
  EXPECT_EQ(font_mul_div(1, 1, 0), -1);
  EXPECT_EQ(font_mul_div(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);  // 64-bit intermediate
  const FontAttributes plain = font_attributes(0);
  EXPECT_EQ(plain.weight, 400);
  EXPECT_FALSE(plain.italic || plain.underline || plain.strike_out);
  EXPECT_EQ(plain.quality, 0);
  const FontAttributes all = font_attributes(0x31C);
  EXPECT_EQ(all.weight, 700);
  EXPECT_TRUE(all.italic && all.underline && all.strike_out);
  EXPECT_EQ(all.quality, 2);
}

}  // namespace
