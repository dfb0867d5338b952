// Gadgets under Wine: real controls in a toolkit window, driven by platform
// messages and input, read back from the platform.
#include "gui/gadgets/gadgets.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_list.h"
#include "image/pixel_store.h"
#include "support/gadget_support.h"
#include "support/input.h"
#include "support/screenshot.h"
#include "support/toolkit_fixture.h"

namespace {

using GadgetTest = GadgetToolkitTest;

constexpr object_number kWindow = 1;

HWND open_window(int width = 400, int height = 300, const char* title = "Gadgets") {
  if (!window_open(kWindow, 100, 100, width, height, title)) return nullptr;
  return window_handle(kWindow);
}

RECT client_rect_in_parent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(GadgetTest, creation_registers_the_control_under_its_identifier) {
  const HWND window = open_window();
  ASSERT_NE(window, nullptr);
  const std::uintptr_t numbered = gadget_create_button(7, 10, 10, 80, 24, "OK");
  const HWND button = control_of(7);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(numbered, reinterpret_cast<std::uintptr_t>(button));
  EXPECT_EQ(GetParent(button), window);
  EXPECT_EQ(GetWindowLongPtrA(button, GWLP_ID), 7);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(GetPropA(button, "ZQ_ID")), 7);
  EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & 0x50030000, 0x50030000);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(gadget_object(7)->kind->kind_id, KIND_BUTTON);
  EXPECT_EQ(gadget_object(7)->kind->table_size, 320);

  // A dynamic gadget is named by its record's address.
  const std::uintptr_t dynamic = gadget_create_text(ANY_OBJECT, 10, 40, 80, 20, "dyn");
  ASSERT_NE(dynamic, 0u);
  const HWND text = control_of(static_cast<object_number>(dynamic));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(static_cast<std::uintptr_t>(GetWindowLongPtrA(text, GWLP_ID)), dynamic);
  EXPECT_EQ(gadget_get_text(static_cast<object_number>(dynamic)), "dyn");

  // The same number again replaces the gadget; its old control is gone.
  ASSERT_NE(gadget_create_string(7, 10, 70, 80, 20, "neu"), 0u);
  EXPECT_FALSE(IsWindow(button));
  EXPECT_EQ(gadget_object(7)->kind->kind_id, KIND_STRING);
  EXPECT_EQ(gadget_get_text(7), "neu");

  // Values that name no gadget do nothing.
  gadget_set_text(99, "x");
  gadget_free(99);
  EXPECT_EQ(gadget_get_state(99), 0);
  EXPECT_EQ(gadget_get_text(99), "");
  gadget_free(ANY_OBJECT);
  EXPECT_EQ(control_of(7), nullptr);
  EXPECT_FALSE(IsWindow(text));
}

TEST_F(GadgetTest, check_boxes_take_minus_one_by_their_kind) {
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_checkbox(1, 10, 10, 150, 20, "normal"), 0u);
  ASSERT_NE(gadget_create_checkbox(2, 10, 40, 150, 20, "drei", CHECKBOX_THREE_STATE), 0u);
  EXPECT_EQ(GetWindowLongPtrA(control_of(1), GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
  EXPECT_EQ(GetWindowLongPtrA(control_of(2), GWL_STYLE) & 0xF, BS_3STATE);
  gadget_set_state(1, -1);
  gadget_set_state(2, -1);
  EXPECT_EQ(SendMessageA(control_of(1), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(control_of(2), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(gadget_get_state(1), 1);
  EXPECT_EQ(gadget_get_state(2), -1);
  gadget_set_state(1, 0);
  EXPECT_EQ(gadget_get_state(1), 0);
  gadget_set_state(1, 5);
  EXPECT_EQ(gadget_get_state(1), 1);

  // A click on the three-state box checks it by hand and is a click event.
  pump_for(200);
  PostMessageA(control_of(2), BM_CLICK, 0, 0);
  const auto seen = pump_until([](const auto& s) { return saw(s, EVENT_GADGET); });
  ASSERT_TRUE(saw(seen, EVENT_GADGET));
  EXPECT_EQ(event_gadget(), 2);
  EXPECT_EQ(event_type(), 0);
  EXPECT_EQ(gadget_get_state(2), 1);
  SendMessageA(control_of(2), BM_CLICK, 0, 0);
  EXPECT_EQ(gadget_get_state(2), 0);
}

TEST_F(GadgetTest, track_bars_and_progress_bars_hold_their_values) {
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_trackbar(1, 10, 10, 40, 150, 0, 10, TRACKBAR_VERTICAL), 0u);
  ASSERT_NE(gadget_create_trackbar(2, 60, 10, 200, 30, -5, 20, TRACKBAR_TICKS), 0u);
  ASSERT_NE(gadget_create_progress(3, 60, 60, 200, 20, 0, 50, PROGRESS_SMOOTH), 0u);
  // The bottom of a vertical bar is its minimum.
  SendMessageA(control_of(1), TBM_SETPOS, TRUE, 10);
  EXPECT_EQ(gadget_get_state(1), 0);
  gadget_set_state(1, 7);
  EXPECT_EQ(SendMessageA(control_of(1), TBM_GETPOS, 0, 0), 3);
  EXPECT_EQ(gadget_get_state(1), 7);
  gadget_set_attribute(1, RANGE_MAXIMUM, 20);  // the logical value stays
  EXPECT_EQ(gadget_get_attribute(1, RANGE_MAXIMUM), 20);
  EXPECT_EQ(gadget_get_state(1), 7);
  // Negative limits are raised to 0; horizontal bars are not mirrored.
  EXPECT_EQ(gadget_get_attribute(2, RANGE_MINIMUM), 0);
  gadget_set_state(2, 4);
  EXPECT_EQ(SendMessageA(control_of(2), TBM_GETPOS, 0, 0), 4);

  gadget_set_state(3, 20);
  EXPECT_EQ(gadget_get_state(3), 20);
  gadget_set_attribute(3, RANGE_MINIMUM, 10);
  EXPECT_EQ(gadget_get_attribute(3, RANGE_MINIMUM), 10);
  EXPECT_EQ(gadget_get_attribute(3, RANGE_MAXIMUM), 50);
  EXPECT_EQ(gadget_get_color(3, COLOR_FRONT), -1);
  gadget_set_color(3, COLOR_FRONT, RGB(0, 128, 0));
  EXPECT_EQ(gadget_get_color(3, COLOR_FRONT), RGB(0, 128, 0));
  EXPECT_EQ(gadget_get_color(3, 7), -1);
}

TEST_F(GadgetTest, a_track_bar_drag_queues_one_event) {
  const HWND window = open_window();
  ASSERT_NE(gadget_create_trackbar(4, 10, 10, 200, 30, 0, 10), 0u);
  pump_for(200);
  drain_events();
  for (int i = 0; i < 5; ++i)
    SendMessageA(window, WM_HSCROLL, TB_THUMBTRACK, reinterpret_cast<LPARAM>(control_of(4)));
  std::vector<SeenEvent> gadget_events;
  for (const SeenEvent& e : pump_for(200))
    if (e.code == EVENT_GADGET) gadget_events.push_back(e);
  ASSERT_EQ(gadget_events.size(), 1u);
  EXPECT_EQ(gadget_events[0].gadget, 4);
  EXPECT_EQ(gadget_events[0].type, 0);
  EXPECT_EQ(gadget_events[0].window, kWindow);
}

TEST_F(GadgetTest, strings_limit_length_report_focus_and_answer_colours) {
  const HWND window = open_window();
  ASSERT_NE(gadget_create_string(1, 10, 10, 100, 22, "800", STRING_NUMBERS | STRING_RIGHT), 0u);
  ASSERT_NE(gadget_create_string(2, 10, 40, 100, 22, "", GADGET_SUNKEN), 0u);
  ASSERT_NE(gadget_create_text(3, 10, 70, 100, 22, "Text", GADGET_SUNKEN), 0u);
  EXPECT_TRUE(GetWindowLongPtrA(control_of(1), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(GetWindowLongPtrA(control_of(2), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongPtrA(control_of(3), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  gadget_set_attribute(1, STRING_MAX_LENGTH, 0);
  EXPECT_EQ(gadget_get_attribute(1, STRING_MAX_LENGTH), 1);
  gadget_set_attribute(1, STRING_MAX_LENGTH, -3);
  EXPECT_EQ(gadget_get_attribute(1, STRING_MAX_LENGTH), 1);
  gadget_set_attribute(1, STRING_MAX_LENGTH, 4);
  EXPECT_EQ(gadget_get_attribute(1, STRING_MAX_LENGTH), 4);

  // Focus in and out, then a typed change (768), all from real input.
  pump_for(200);
  ASSERT_TRUE(bring_to_front(window));
  SetFocus(control_of(2));
  SetFocus(control_of(1));
  press_key('5');
  const auto seen = pump_until([](const auto& s) {
    for (const SeenEvent& e : s)
      if (e.code == EVENT_GADGET && e.type == 768) return true;
    return false;
  });
  std::vector<std::pair<std::int64_t, std::int64_t>> focus;  // (gadget, type)
  bool changed = false;
  for (const SeenEvent& e : seen) {
    if (e.code != EVENT_GADGET) continue;
    if (e.type == EVENT_TYPE_FOCUS || e.type == EVENT_TYPE_LOST_FOCUS)
      focus.emplace_back(e.gadget, e.type);
    if (e.type == 768 && e.gadget == 1) changed = true;
  }
  EXPECT_EQ(focus, (std::vector<std::pair<std::int64_t, std::int64_t>>{
                       {2, EVENT_TYPE_FOCUS}, {2, EVENT_TYPE_LOST_FOCUS}, {1, EVENT_TYPE_FOCUS}}));
  EXPECT_TRUE(changed);

  // Colours: no answer without colours; a back colour answers a cache brush
  // that two gadgets of one colour share.
  const HDC dc = GetDC(window);
  auto answer = [&](UINT message, object_number gadget) {
    return SendMessageA(window, message, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control_of(gadget)));
  };
  const LRESULT platform_default = answer(WM_CTLCOLOREDIT, 2);
  gadget_set_color(2, COLOR_BACK, RGB(255, 255, 0));
  gadget_set_color(3, COLOR_BACK, RGB(255, 255, 0));
  const LRESULT brush = answer(WM_CTLCOLOREDIT, 2);
  EXPECT_NE(brush, platform_default);
  EXPECT_EQ(answer(WM_CTLCOLORSTATIC, 3), brush);
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0));
  LOGBRUSH description{};
  ASSERT_NE(GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof description, &description), 0);
  EXPECT_EQ(description.lbColor, RGB(255, 255, 0));
  // Only a front colour: the window colour behind an edit field.
  gadget_set_color(1, COLOR_FRONT, RGB(200, 0, 0));
  EXPECT_EQ(answer(WM_CTLCOLOREDIT, 1), reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  // A disabled field keeps the platform's colours.
  gadget_disable(1, 1);
  EXPECT_FALSE(IsWindowEnabled(control_of(1)));
  SetTextColor(dc, 0);
  answer(WM_CTLCOLORSTATIC, 1);
  EXPECT_NE(GetTextColor(dc), RGB(200, 0, 0));
  gadget_disable(1, 0);
  EXPECT_TRUE(IsWindowEnabled(control_of(1)));
  // The brush lives while one of its users does.
  gadget_free(2);
  EXPECT_NE(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), 0u);
  gadget_free(3);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), 0u);
  ReleaseDC(window, dc);
}

TEST_F(GadgetTest, an_image_gadget_takes_its_pictures_size) {
  ASSERT_NE(open_window(), nullptr);
  const TestPicture red(30, 20, 24, RGB(255, 0, 0));
  const TestPicture translucent(16, 12, 32, RGB(0, 0, 255), 128);
  const std::uintptr_t plain = gadget_create_image(1, 10, 10, 5, 5, red.handle_value());
  ASSERT_NE(plain, 0u);
  ASSERT_NE(gadget_create_image(2, 100, 10, 5, 5, 0, IMAGE_SUNKEN), 0u);
  ASSERT_NE(gadget_create_image(3, 200, 10, 5, 5, 0, IMAGE_RAISED), 0u);
  RECT r = client_rect_in_parent(control_of(1));
  EXPECT_EQ(r.right - r.left, 30);
  EXPECT_EQ(r.bottom - r.top, 20);
  EXPECT_EQ(r.left, 10);
  gadget_set_state(2, static_cast<std::int64_t>(red.handle_value()));
  gadget_set_state(3, static_cast<std::int64_t>(translucent.handle_value()));
  r = client_rect_in_parent(control_of(2));
  EXPECT_EQ(r.right - r.left, 34);
  EXPECT_EQ(r.bottom - r.top, 24);
  EXPECT_EQ(r.left, 100);
  r = client_rect_in_parent(control_of(3));
  EXPECT_EQ(r.right - r.left, 20);
  EXPECT_EQ(r.bottom - r.top, 16);
  EXPECT_EQ(static_cast<std::uintptr_t>(gadget_get_state(2)), red.handle_value());
  EXPECT_EQ(static_cast<std::uintptr_t>(SendMessageA(control_of(3), STM_GETIMAGE, IMAGE_BITMAP, 0)),
            translucent.handle_value());

  // What the platform shows: the picture, and the blue one blended.
  pump_for(300);
  EXPECT_EQ(screen_pixel_at(control_of(1), 15, 10), RGB(255, 0, 0));
  const COLORREF blended = screen_pixel_at(control_of(3), 10, 8);
  EXPECT_GT(GetBValue(blended), 100);
  EXPECT_LT(GetRValue(blended), GetBValue(blended));
}

TEST_F(GadgetTest, image_gadgets_report_clicks_double_clicks_and_drags) {
  const HWND window = open_window();
  const TestPicture green(60, 40, 24, RGB(0, 160, 0));
  ASSERT_NE(gadget_create_image(5, 20, 20, 10, 10, green.handle_value()), 0u);
  const HWND image = control_of(5);
  pump_for(200);
  ASSERT_TRUE(bring_to_front(window));
  const POINT centre = screen_centre_of(image);
  auto gadget_types = [](const std::vector<SeenEvent>& seen) {
    std::vector<std::int64_t> types;
    for (const SeenEvent& e : seen)
      if (e.code == EVENT_GADGET && e.gadget == 5) types.push_back(e.type);
    return types;
  };
  click_at(centre.x, centre.y);
  EXPECT_EQ(gadget_types(pump_for(300)), std::vector<std::int64_t>{0});
  Sleep(GetDoubleClickTime() + 50);
  // A press, then a move out of the drag rectangle: a drag start.
  move_mouse_to(centre.x, centre.y);
  mouse_button(MOUSEEVENTF_LEFTDOWN);
  auto seen = pump_for(100);
  move_mouse_to(centre.x + 15, centre.y + 2);
  for (auto more : {pump_for(300), (mouse_button(MOUSEEVENTF_LEFTUP), pump_for(200))})
    seen.insert(seen.end(), more.begin(), more.end());
  EXPECT_EQ(gadget_types(seen), (std::vector<std::int64_t>{0, EVENT_TYPE_DRAG_START}));
  EXPECT_EQ(GetCapture(), nullptr);
  // Double clicks and right clicks come from the control's own messages.
  SendMessageA(image, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(image, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageA(image, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageA(image, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(gadget_types(pump_for(200)),
            (std::vector<std::int64_t>{EVENT_TYPE_LEFT_DOUBLE_CLICK, EVENT_TYPE_RIGHT_CLICK,
                                       EVENT_TYPE_RIGHT_DOUBLE_CLICK}));
}

// Image buttons draw their picture over the button, in both ways: as with
// themed controls (the whole button painted off screen) and without. (Wine
// reports common controls 5.81 even to a program with the 6.0 manifest, so
// the probe alone never chooses the themed way there.)
class ImageButtonTest : public GadgetTest, public ::testing::WithParamInterface<int> {
 protected:
  void TearDown() override {
    themed_controls_override(-1);
    GadgetTest::TearDown();
  }
};

TEST_P(ImageButtonTest, draws_the_picture_of_its_state) {
  themed_controls_override(GetParam());
  ASSERT_NE(open_window(), nullptr);
  EXPECT_GE(controls_probe(), 0x50000);
  const TestPicture normal(16, 16, 24, RGB(255, 0, 0));
  const TestPicture pressed(16, 16, 24, RGB(0, 0, 255));
  const TestPicture opaque_alpha(16, 16, 32, RGB(0, 200, 0), 255);
  ASSERT_NE(gadget_create_image_button(1, 10, 10, 40, 40, normal.handle_value(),
                                       BS_PUSHLIKE | BS_AUTOCHECKBOX),
            0u);
  ASSERT_NE(gadget_create_image_button(2, 60, 10, 40, 40, opaque_alpha.handle_value()), 0u);
  gadget_set_attribute(1, IMAGE_BUTTON_PRESSED_IMAGE,
                       static_cast<std::int64_t>(pressed.handle_value()));
  EXPECT_EQ(static_cast<std::uintptr_t>(gadget_get_attribute(1, IMAGE_BUTTON_PRESSED_IMAGE)),
            pressed.handle_value());
  pump_for(300);
  EXPECT_EQ(screen_pixel_at(control_of(1), 20, 20), RGB(255, 0, 0));
  EXPECT_EQ(screen_pixel_at(control_of(2), 20, 20), RGB(0, 200, 0));
  // Checked, it shows the pressed picture.
  gadget_set_state(1, 1);
  pump_for(300);
  EXPECT_EQ(gadget_get_state(1), 1);
  EXPECT_EQ(screen_pixel_at(control_of(1), 20, 20), RGB(0, 0, 255));
  // Disabled, the picture with alpha turns grey.
  gadget_disable(2, 1);
  pump_for(300);
  const COLORREF grey = screen_pixel_at(control_of(2), 20, 20);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  // Focused, with focus rectangles shown: one dotted rectangle, 3 pixels in,
  // over a picture that reaches under it as well as beside a small one.
  const TestPicture wide(40, 16, 24, RGB(255, 0, 0));
  gadget_set_attribute(2, IMAGE_BUTTON_IMAGE, static_cast<std::int64_t>(wide.handle_value()));
  for (object_number focused : {1, 2}) {
    gadget_disable(focused, 0);
    ASSERT_TRUE(bring_to_front(window_handle(kWindow)));
    SetFocus(control_of(focused));
    SendMessageA(window_handle(kWindow), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS),
                 0);
    pump_for(300);
    // Colour changes along a line: a dotted line changes at every pixel.
    auto changes = [&](int x0, int y0, int dx, int dy, int steps) {
      int count = 0;
      for (int i = 0; i < steps; ++i)
        if (screen_pixel_at(control_of(focused), x0 + i * dx, y0 + i * dy) !=
            screen_pixel_at(control_of(focused), x0 + (i + 1) * dx, y0 + (i + 1) * dy))
          ++count;
      return count;
    };
    EXPECT_GT(changes(5, 3, 1, 0, 29), 20) << "top edge, beside the picture, of " << focused;
    EXPECT_GT(changes(5, 36, 1, 0, 29), 20) << "bottom edge of " << focused;
    EXPECT_GT(changes(3, 13, 0, 1, 14), 9) << "left edge, across the picture, of " << focused;
  }
  // Printed into a bitmap, as a themed parent prints its children: the
  // picture once, whether the window or only its client area is printed.
  const TestPicture translucent(16, 16, 32, RGB(0, 0, 255), 128);
  ASSERT_NE(gadget_create_image_button(3, 110, 10, 40, 40, translucent.handle_value()), 0u);
  const HWND button = control_of(3);
  auto printed_centre = [button](UINT message, WPARAM flags) {
    const HDC screen = GetDC(button);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    SendMessageA(button, message, reinterpret_cast<WPARAM>(memory), static_cast<LPARAM>(flags));
    const COLORREF centre = GetPixel(memory, 20, 20);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(button, screen);
    return centre;
  };
  const COLORREF client_only = printed_centre(WM_PRINTCLIENT, PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_GT(GetBValue(client_only), GetRValue(client_only));
  EXPECT_EQ(printed_centre(WM_PRINT, PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND), client_only);
}

INSTANTIATE_TEST_SUITE_P(Drawing, ImageButtonTest, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "themed" : "plain"; });

TEST_F(GadgetTest, a_second_tooltip_replaces_the_first) {
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_button(1, 10, 10, 80, 24, "Tipp"), 0u);
  ASSERT_NE(gadget_create_button(2, 10, 40, 80, 24, "Auch"), 0u);
  gadget_set_tooltip(1, "erster Tipp");
  gadget_set_tooltip(1, "zweiter Tipp");
  gadget_set_tooltip(2, "anderer");
  const HWND tooltip = gadget_list_state()->tooltip_window;
  ASSERT_NE(tooltip, nullptr);
  char class_name[32] = {};
  GetClassNameA(tooltip, class_name, sizeof class_name);
  EXPECT_STREQ(class_name, "tooltips_class32");
  EXPECT_TRUE(GetWindowLongPtrA(tooltip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 2);
  char text[64] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetParent(control_of(1));
  tool.uId = reinterpret_cast<UINT_PTR>(control_of(1));
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "zweiter Tipp");
  // A freed gadget takes its tip along.
  gadget_free(2);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(GadgetTest, fonts_go_to_new_gadgets_or_to_one) {
  ASSERT_NE(open_window(), nullptr);
  const auto large = reinterpret_cast<HFONT>(font_load(1, "Arial", 14));
  ASSERT_NE(large, nullptr);
  ASSERT_NE(gadget_create_text(1, 10, 10, 100, 20, "alt"), 0u);
  gadget_set_font(GADGETS_TO_COME, reinterpret_cast<std::intptr_t>(large));
  ASSERT_NE(gadget_create_text(2, 10, 40, 100, 30, "neu"), 0u);
  auto font_of = [](object_number g) {
    return reinterpret_cast<HFONT>(SendMessageA(control_of(g), WM_GETFONT, 0, 0));
  };
  EXPECT_EQ(font_of(1), GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(font_of(2), large);
  gadget_set_font(2, GADGET_DEFAULT_FONT);
  gadget_set_font(1, reinterpret_cast<std::intptr_t>(large));
  EXPECT_EQ(font_of(2), GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(font_of(1), large);
}

TEST_F(GadgetTest, freeing_a_gadget_removes_its_queued_events_and_nothing_else) {
  const HWND window = open_window();
  ASSERT_NE(gadget_create_image(1, 10, 10, 20, 20, 0), 0u);
  ASSERT_NE(gadget_create_image(2, 40, 10, 20, 20, 0), 0u);
  pump_for(200);
  drain_events();
  SendMessageA(control_of(1), WM_LBUTTONDBLCLK, 0, 0);
  SendMessageA(control_of(2), WM_LBUTTONDBLCLK, 0, 0);
  SendMessageA(control_of(1), WM_RBUTTONUP, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  const HWND first = control_of(1);
  gadget_free(1);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(GetWindowLongPtrA(first, GWLP_ID), 0);          // the window is gone
  std::vector<std::pair<std::int64_t, std::int64_t>> left;  // (code, gadget)
  for (std::int64_t code; (code = event_wait(0)) != 0;)
    if (code == EVENT_GADGET || code == EVENT_CLOSE_WINDOW) left.emplace_back(code, event_gadget());
  EXPECT_EQ(left, (std::vector<std::pair<std::int64_t, std::int64_t>>{{EVENT_GADGET, 2},
                                                                      {EVENT_CLOSE_WINDOW, 1}}));
  EXPECT_EQ(gadget_object(1), nullptr);
}

TEST_F(GadgetTest, new_windows_become_the_gadget_list_unless_asked_not_to) {
  ASSERT_NE(window_open(1, 0, 0, 100, 60, "eins"), 0u);
  EXPECT_EQ(gadget_list_use(nullptr), window_handle(1));
  ASSERT_NE(window_open(2, 0, 0, 100, 60, "zwei", 0x00C80000 | WINDOW_NO_GADGET_LIST), 0u);
  EXPECT_EQ(gadget_list_use(nullptr), window_handle(1));
  EXPECT_EQ(gadget_list_use(window_handle(2)), window_handle(1));
  EXPECT_EQ(gadget_list_use(window_handle(1)), window_handle(2));
  EXPECT_NE(gadget_list_state()->container_stack, nullptr);
  EXPECT_EQ(gadget_list_state()->current_font, GetStockObject(DEFAULT_GUI_FONT));
  window_close(1);  // the current list goes: no list any more
  EXPECT_EQ(gadget_list_use(nullptr), nullptr);
  EXPECT_EQ(gadget_list_use(window_handle(2)), nullptr);
  EXPECT_EQ(gadget_list_use(nullptr), window_handle(2));
}

TEST_F(GadgetTest, without_a_gadget_list_no_gadget_is_made) {
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_button(1, 10, 10, 80, 24, "da"), 0u);
  window_close(kWindow);
  EXPECT_EQ(gadget_object(1), nullptr);  // went with its window
  EXPECT_EQ(gadget_list_use(nullptr), nullptr);
  EXPECT_EQ(gadget_create_button(2, 10, 10, 80, 24, "weg"), 0u);
  EXPECT_EQ(gadget_create_checkbox(ANY_OBJECT, 10, 10, 80, 24, "weg"), 0u);
  EXPECT_EQ(gadget_object(2), nullptr);
}

// The resize job's way: the progress bar and a text set from a worker
// thread while the window's thread waits for events.
TEST_F(GadgetTest, a_worker_thread_sets_progress_and_text_while_events_are_awaited) {
  ASSERT_NE(open_window(), nullptr);
  ASSERT_NE(gadget_create_progress(1, 10, 10, 200, 20, 0, 100), 0u);
  ASSERT_NE(gadget_create_text(2, 10, 40, 200, 60, "", TEXT_CENTERED), 0u);
  pump_for(100);
  constexpr int kRounds = 5;
  constexpr int kSteps = 100;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<bool> done{false};
    std::atomic<int> misread{0};
    gadget_set_worker_running(true);
    std::thread worker([&] {
      for (int step = 1; step <= kSteps; ++step) {
        gadget_set_state(1, step);
        gadget_set_text(2,
                        ("Schritt " + std::to_string(round) + "/" + std::to_string(step)).c_str());
        if (gadget_get_state(1) != step) ++misread;
      }
      done = true;
      event_post_from_thread(static_cast<std::int32_t>(EVENT_GADGET), 99, kWindow, 0);
    });
    // Waits without a time-out: the worker's last post ends the wait.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) event_wait(round % 2 ? -1 : 20);
    worker.join();
    gadget_set_worker_running(false);
    ASSERT_TRUE(done);
    EXPECT_EQ(misread, 0);
    EXPECT_EQ(SendMessageA(control_of(1), PBM_GETPOS, 0, 0), kSteps);
    EXPECT_EQ(gadget_get_text(2),
              "Schritt " + std::to_string(round) + "/" + std::to_string(kSteps));
    drain_events();
  }
}

// One gadget of each kind, laid out like the application's main window
// while a job runs, with its fonts and a tooltip showing.
TEST_F(GadgetTest, screenshot_of_every_kind) {
  ASSERT_NE(window_open(kWindow, 20, 200, 350, 330, "Skalaro v4.0> 1024x768 - Q=8",
                        0x00C80000 | WINDOW_SCREEN_CENTERED),
            0u);
  const auto large = static_cast<std::intptr_t>(font_load(1, "Arial", 14));
  const auto small = static_cast<std::intptr_t>(font_load(2, "Arial", 12));
  ASSERT_NE(large, 0);
  ASSERT_NE(small, 0);
  const TestPicture info(24, 24, 32, paint_info_picture);
  const TestPicture photo(60, 40, 24, RGB(70, 130, 180));
  ASSERT_NE(gadget_create_text(10, 0, 5, 350, 40, "Bitte warten...\rBilder werden verkleinert...",
                               TEXT_CENTERED),
            0u);
  gadget_set_font(10, large);
  ASSERT_NE(gadget_create_progress(1003, 5, 55, 340, 25, 0, 100, PROGRESS_SMOOTH), 0u);
  gadget_set_state(1003, 37);
  ASSERT_NE(gadget_create_text(11, 0, 85, 280, 80,
                               "37 %\r\n12 von 32 Bildern verarbeitet\r\nVergangene Zeit: "
                               "00:00:15\r\nVerbleibende Zeit: ca. 00:00:25",
                               TEXT_CENTERED),
            0u);
  gadget_set_font(11, small);
  ASSERT_NE(gadget_create_image(1002, 285, 110, 10, 10, photo.handle_value(), IMAGE_SUNKEN), 0u);
  ASSERT_NE(gadget_create_checkbox(1006, 5, 201, 165, 20, "Originale verkleinern"), 0u);
  gadget_set_tooltip(1006, "wenn gesetzt, wird die Quelldatei ersetzt.");
  ASSERT_NE(gadget_create_checkbox(1008, 180, 201, 165, 20, "EXIF Information erhalten"), 0u);
  gadget_set_state(1008, 1);
  ASSERT_NE(gadget_create_checkbox(1007, 5, 221, 165, 20, "Web-Dateinamen verwenden",
                                   CHECKBOX_THREE_STATE),
            0u);
  gadget_set_state(1007, -1);
  ASSERT_NE(gadget_create_trackbar(1011, 120, 241, 230, 32, 0, 10, TRACKBAR_TICKS), 0u);
  gadget_set_state(1011, 8);
  ASSERT_NE(gadget_create_text(111, 5, 244, 115, 32, "Bild-Qualit\xE4t:"), 0u);
  ASSERT_NE(gadget_create_text(1, 5, 276, 115, 20, "neue Bildbreite in Pixel:"), 0u);
  ASSERT_NE(gadget_create_string(1012, 121, 273, 50, 20, "1024", STRING_NUMBERS | STRING_RIGHT),
            0u);
  ASSERT_NE(gadget_create_text(2, 171, 276, 10, 20, "X", TEXT_CENTERED), 0u);
  ASSERT_NE(gadget_create_string(1013, 181, 273, 50, 20, "768", STRING_NUMBERS), 0u);
  ASSERT_NE(
      gadget_create_button(1005, 0, 298, 318, 32, "Bilderverzeichnis im Explorer \xF6\x66\x66nen"),
      0u);
  ASSERT_NE(gadget_create_image_button(1010, 318, 298, 32, 32, info.handle_value()), 0u);
  gadget_set_tooltip(1010, "Info");
  const HWND window = window_handle(kWindow);
  pump_for(300);
  ASSERT_TRUE(bring_to_front(window));
  // The mouse rests on the info button until its tip shows.
  const POINT tip_at = screen_centre_of(control_of(1010));
  move_mouse_to(tip_at.x, tip_at.y);
  pump_until(
      [](const auto&) {
        const HWND tooltip = gadget_list_state()->tooltip_window;
        return tooltip && IsWindowVisible(tooltip);
      },
      4000);
  pump_for(300);
  const std::string path = take_screenshot("gadgets_every_kind");
  EXPECT_FALSE(path.empty());
  // The picture is in its place on the screen too.
  EXPECT_EQ(screen_pixel_at(control_of(1002), 30, 20), RGB(70, 130, 180));
  move_mouse_to(0, 0);

  // Moved to a screen of 144 DPI: the window takes the rectangle the
  // platform suggests, every gadget its place and font times 1.5, the
  // pictures their size; back at 96 DPI, all is as created.
  const auto change_dpi = [&](int dpi, int width, int height) {
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    frame.right += width - client.right;
    frame.bottom += height - client.bottom;
    SendMessageA(window, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
    pump_for(300);
  };
  const auto font_height = [](HWND control) {
    LOGFONTA shape{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof shape,
               &shape);
    return shape.lfHeight;
  };
  const LONG stock_height = font_height(control_of(1006)),
             large_height = font_height(control_of(10));
  change_dpi(144, 525, 495);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 525);
  EXPECT_EQ(client.bottom, 495);
  EXPECT_EQ(window_width(kWindow), 350);
  EXPECT_EQ(window_height(kWindow), 330);
  const RECT box = client_rect_in_parent(control_of(1006));
  EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}),
            (std::vector<LONG>{8, 302, 8 + 248, 302 + 30}));
  const RECT info_button = client_rect_in_parent(control_of(1010));
  EXPECT_EQ((std::vector<LONG>{info_button.left, info_button.right}),
            (std::vector<LONG>{477, 525}));
  EXPECT_EQ(font_height(control_of(1006)), MulDiv(stock_height, 3, 2));
  EXPECT_EQ(font_height(control_of(10)), MulDiv(large_height, 3, 2));
  RECT picture{};
  GetClientRect(control_of(1002), &picture);
  EXPECT_EQ((std::vector<LONG>{picture.right, picture.bottom}), (std::vector<LONG>{90, 60}));
  EXPECT_EQ(screen_pixel_at(control_of(1002), 80, 50), RGB(70, 130, 180));
  EXPECT_FALSE(take_screenshot("gadgets_every_kind_144_dpi").empty());
  change_dpi(96, 350, 330);
  EXPECT_EQ(client_rect_in_parent(control_of(1006)).right, 5 + 165);
  EXPECT_EQ(font_height(control_of(1006)), stock_height);
  GetClientRect(control_of(1002), &picture);
  EXPECT_EQ(picture.right, 60);
}

}  // namespace
