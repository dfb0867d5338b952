// Image gadgets: a static control that shows a bitmap or an icon (pictures
// with alpha through a premultiplied copy), takes the picture's size, and
// reports clicks, double clicks and the start of a drag.
#include "gui/gadgets/gadgets.h"

#include <cstdlib>

#include "gui/core/dpi.h"
#include "gui/core/window_dpi.h"
#include "gui/gadgets/gadget_dpi.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_pictures.h"
#include "image/image_draw.h"
#include "runtime/run_once.h"

namespace {

constexpr DWORD kImageStyle = 0x50000100;  // child, visible, notify
constexpr DWORD kRaisedFrame = 0x00400000;
constexpr DWORD kSunkenEdge = WS_EX_CLIENTEDGE;
constexpr int kBorderGrowth = 4;
constexpr std::int64_t kDragArmed = 1;
constexpr std::int64_t kRightDoubleClick = 2;  // the next right button up ends a double click

struct ImageFields {
  HANDLE image;
  HBITMAP prepared;
  std::int64_t mouse;           // kDragArmed, kRightDoubleClick
  std::int64_t press_position;  // x in the low half, y in the high half
  std::int64_t prepared_dpi;    // the DPI the picture was last fitted for
};

WNDPROC static_class_procedure = nullptr;
RunOnceGuard metrics_guard = 0;
int drag_width = 4, drag_height = 4;

void read_drag_metrics() {
  drag_width = GetSystemMetrics(SM_CXDRAG);
  drag_height = GetSystemMetrics(SM_CYDRAG);
}

ImageFields& fields_of(GadgetObject* gadget) {
  return gadget_fields<ImageFields>(gadget);
}

bool has_border(HWND control) {
  return (GetWindowLongPtrA(control, GWL_EXSTYLE) & kSunkenEdge) ||
         (GetWindowLongPtrA(control, GWL_STYLE) & kRaisedFrame);
}

// Pictures with alpha show the parent through them, so the parent paints
// the area first.
void parent_repaints_area(HWND control) {
  const HWND parent = GetParent(control);
  if (!parent) return;
  RECT area{};
  GetWindowRect(control, &area);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  InvalidateRect(parent, &area, TRUE);
}

// The picture at its window's DPI, and the gadget at the picture's size:
// a sunken edge around it where the control has one (4 pixels at 96 DPI),
// else the 4 pixels of the raised frame, scaled.
void fit_picture(GadgetObject* gadget) {
  ImageFields& fields = fields_of(gadget);
  const HWND control = gadget->handle;
  bitmap_free_premultiplied(fields.prepared);
  fields.prepared = picture_prepared_copy(fields.image, false, gadget->dpi);
  fields.prepared_dpi = gadget->dpi;
  if (!fields.image) return;
  SIZE size = picture_display_size(fields.image, gadget->dpi);
  if (has_border(control)) {
    RECT outer{}, inner{};
    GetWindowRect(control, &outer);
    GetClientRect(control, &inner);
    const bool sunken = GetWindowLongPtrA(control, GWL_EXSTYLE) & kSunkenEdge;
    size.cx +=
        sunken ? (outer.right - outer.left) - inner.right : dpi_scale(kBorderGrowth, gadget->dpi);
    size.cy +=
        sunken ? (outer.bottom - outer.top) - inner.bottom : dpi_scale(kBorderGrowth, gadget->dpi);
  }
  gadget_set_pixel_size(gadget, size.cx, size.cy);
}

LRESULT show_picture(GadgetObject* gadget, HANDLE picture) {
  ImageFields& fields = fields_of(gadget);
  const HWND control = gadget->handle;
  fields.image = picture;
  parent_repaints_area(control);
  fit_picture(gadget);
  if (!fields.prepared) {
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
  }
  return reinterpret_cast<LRESULT>(picture);
}

void draw(GadgetObject* gadget, HDC context) {
  const ImageFields& fields = fields_of(gadget);
  if (fields.prepared)
    bitmap_draw_alpha(context, 0, 0, 0, 0, fields.prepared, nullptr, 255);
  else
    picture_draw_state(context, fields.image, 0, 0, false);
}

// The mouse: a press arms a drag that starts when the pointer leaves the
// system's drag rectangle; double clicks and right clicks become events.
void on_mouse(GadgetObject* gadget, UINT message, LPARAM position) {
  ImageFields& fields = fields_of(gadget);
  const HWND control = gadget->handle;
  const int x = static_cast<short>(LOWORD(position)), y = static_cast<short>(HIWORD(position));
  switch (message) {
    case WM_LBUTTONDOWN:
      fields.mouse |= kDragArmed;
      fields.press_position = static_cast<std::int64_t>(static_cast<std::uint32_t>(x)) |
                              (static_cast<std::int64_t>(y) << 32);
      SetCapture(control);
      break;
    case WM_MOUSEMOVE: {
      if (!(fields.mouse & kDragArmed)) break;
      const int pressed_x = static_cast<std::int32_t>(fields.press_position & 0xFFFFFFFF);
      const int pressed_y = static_cast<std::int32_t>(fields.press_position >> 32);
      if (std::abs(x - pressed_x) > drag_width || std::abs(y - pressed_y) > drag_height) {
        fields.mouse &= ~kDragArmed;
        ReleaseCapture();
        gadget_post_event(control, EVENT_TYPE_DRAG_START);
      }
      break;
    }
    case WM_LBUTTONUP:
      fields.mouse &= ~kDragArmed;
      ReleaseCapture();
      break;
    case WM_RBUTTONUP:
      if (!(fields.mouse & kRightDoubleClick)) gadget_post_event(control, EVENT_TYPE_RIGHT_CLICK);
      fields.mouse &= ~kRightDoubleClick;
      break;
    case WM_RBUTTONDBLCLK:
      fields.mouse |= kRightDoubleClick;
      gadget_post_event(control, EVENT_TYPE_RIGHT_DOUBLE_CLICK);
      break;
  }
}

LRESULT CALLBACK image_procedure(HWND control, UINT message, WPARAM first, LPARAM second) {
  GadgetObject* gadget = gadget_of_control(control);
  if (gadget) {
    switch (message) {
      case STM_SETIMAGE:
        return show_picture(gadget, reinterpret_cast<HANDLE>(second));
      case STM_SETICON:
        return show_picture(gadget, reinterpret_cast<HANDLE>(first));
      case STM_GETIMAGE:
      case STM_GETICON:
        return reinterpret_cast<LRESULT>(fields_of(gadget).image);
      case WM_PAINT:
        if (!fields_of(gadget).image) break;
        {
          PAINTSTRUCT paint{};
          const HDC context = BeginPaint(control, &paint);
          draw(gadget, context);
          EndPaint(control, &paint);
        }
        return 0;
      case WM_PRINT:
      case WM_PRINTCLIENT:
        if (!fields_of(gadget).image) break;
        draw(gadget, reinterpret_cast<HDC>(first));
        return 0;
      case WM_ENABLE:
        InvalidateRect(control, nullptr, TRUE);
        UpdateWindow(control);
        return 0;
      case WM_MOVE:
        parent_repaints_area(control);
        break;
      case DPI_CHANGED_AFTER_PARENT_MESSAGE:
        // The gadget procedure has taken the new DPI; once for each DPI.
        if (fields_of(gadget).prepared_dpi != gadget->dpi) {
          fit_picture(gadget);
          InvalidateRect(control, nullptr, TRUE);
        }
        break;
      case WM_LBUTTONDBLCLK:
        gadget_post_event(control, EVENT_TYPE_LEFT_DOUBLE_CLICK);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
        on_mouse(gadget, message, second);
        break;
    }
  }
  return CallWindowProcA(static_class_procedure, control, message, first, second);
}

std::int64_t image_get_state(GadgetObject* gadget) {
  return reinterpret_cast<std::int64_t>(fields_of(gadget).image);
}

void image_set_state(GadgetObject* gadget, std::int64_t value) {
  const auto picture = reinterpret_cast<HANDLE>(value);
  SendMessageA(gadget->handle, STM_SETIMAGE,
               picture_is_bitmap(picture) || !picture ? IMAGE_BITMAP : IMAGE_ICON,
               reinterpret_cast<LPARAM>(picture));
}

void image_release(GadgetObject* gadget) {
  bitmap_free_premultiplied(fields_of(gadget).prepared);
  fields_of(gadget).prepared = nullptr;
}

constexpr GadgetKind kImageKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_IMAGE);
  kind.release = image_release;
  kind.get_state = image_get_state;
  kind.set_state = image_set_state;
  return kind;
}();

}  // namespace

std::uintptr_t gadget_create_image(object_number number, int x, int y, int width, int height,
                                   std::uintptr_t image, std::uint32_t flags) {
  run_once(&metrics_guard, read_drag_metrics);
  DWORD style = kImageStyle;
  if ((flags & IMAGE_RAISED) && !(flags & IMAGE_SUNKEN)) style |= kRaisedFrame;
  const DWORD ex_style = (flags & IMAGE_SUNKEN) ? kSunkenEdge : 0;
  const HWND control =
      gadget_create_control("STATIC", nullptr, style, ex_style, x, y, width, height);
  if (control) gadget_subclass(control, image_procedure, &static_class_procedure);
  GadgetObject* gadget = gadget_register(number, control, &kImageKind);
  if (gadget && image) image_set_state(gadget, static_cast<std::int64_t>(image));
  return gadget_creation_result(number, gadget);
}
