// Image buttons: a push button that the platform draws, with a picture
// drawn over it (a second picture while it is pressed or checked), greyed
// while disabled, with the focus rectangle on top.
#include "gui/gadgets/gadgets.h"

#include "gui/core/dpi.h"
#include "gui/core/window_dpi.h"
#include "gui/gadgets/gadget_buttons.h"
#include "gui/gadgets/gadget_kind.h"
#include "gui/gadgets/gadget_pictures.h"
#include "image/image_draw.h"
#include "runtime/scoped_win.h"

namespace {

constexpr DWORD kImageButtonStyle = 0x50010000;  // child, visible, tab stop
constexpr WPARAM kPrintWhole = PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND;
constexpr int kFocusInset = 3;

struct ImageButtonFields {
  HANDLE image;
  HANDLE pressed_image;
  HBITMAP prepared;  // of the picture shown: premultiplied, at the window's DPI
  HBITMAP pressed_prepared;
  HANDLE detailed_image;  // the picture drawn larger, for DPIs above 96
};

WNDPROC button_class_procedure = nullptr;

ImageButtonFields& fields_of(GadgetObject* gadget) {
  return gadget_fields<ImageButtonFields>(gadget);
}

struct ChosenPicture {
  HANDLE picture;
  HBITMAP prepared;
  bool pushed;
};

// The pressed picture while the button is checked or pushed, when it has one.
ChosenPicture chosen_picture(GadgetObject* gadget) {
  const ImageButtonFields& fields = fields_of(gadget);
  const LRESULT state = SendMessageA(gadget->handle, BM_GETSTATE, 0, 0);
  const bool pushed = (state & BST_PUSHED) != 0;
  if (fields.pressed_image && (pushed || (state & BST_CHECKED)))
    return ChosenPicture{fields.pressed_image, fields.pressed_prepared, pushed};
  return ChosenPicture{fields.image, fields.prepared, pushed};
}

bool focus_rectangles_hidden(HWND control) {
  const HWND top = GetAncestor(control, GA_ROOT);
  return (SendMessageA(top ? top : control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

// Draws the picture centred inside the button's edge, one pixel down and
// right while pushed. The button has drawn its focus rectangle already
// (inverting pixels, so a second one on top would take it away again): it
// is drawn anew only where the picture covered it.
void draw_picture(GadgetObject* gadget, HDC context) {
  const HWND control = gadget->handle;
  const ChosenPicture chosen = chosen_picture(gadget);
  if (!chosen.picture) return;
  RECT client{};
  GetClientRect(control, &client);
  const int dpi = gadget->dpi;
  const int inset = dpi_scale(themed_controls() ? 4 : 2, dpi);
  const SIZE size = chosen.prepared ? picture_size(chosen.prepared) : picture_size(chosen.picture);
  const int shift = chosen.pushed ? dpi_scale(1, dpi) : 0;
  const int x = (client.right - client.left - size.cx) / 2 + shift;
  const int y = (client.bottom - client.top - size.cy) / 2 + shift;
  RECT inside = client;
  InflateRect(&inside, -inset, -inset);
  const int saved = SaveDC(context);
  IntersectClipRect(context, inside.left, inside.top, inside.right, inside.bottom);
  if (chosen.prepared)
    bitmap_draw_alpha(context, x, y, 0, 0, chosen.prepared, nullptr, 255);
  else
    picture_draw_state(context, chosen.picture, x, y, !IsWindowEnabled(control));
  if (GetFocus() == control && !focus_rectangles_hidden(control)) {
    IntersectClipRect(context, x, y, x + size.cx, y + size.cy);
    RECT focus = client;
    InflateRect(&focus, -dpi_scale(kFocusInset, dpi), -dpi_scale(kFocusInset, dpi));
    DrawFocusRect(context, &focus);
  }
  RestoreDC(context, saved);
}

// Themed buttons fade and animate; painting the whole button off screen
// (the picture included, through the nested print) and copying it at once
// keeps the picture from flickering away.
void paint_off_screen(GadgetObject* gadget) {
  const HWND control = gadget->handle;
  RECT outer{};
  GetWindowRect(control, &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  const WholeWindowDc screen(control);
  if (!screen) return;
  const MemoryDc memory(CreateCompatibleDC(screen.get()));
  const GdiObject bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) return;
  const SelectedObject selected(memory.get(), bitmap.get());
  SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(memory.get()), kPrintWhole);
  BitBlt(screen.get(), 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

bool redraws_picture(UINT message) {
  switch (message) {
    case WM_SETFOCUS:
    case WM_PAINT:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_UPDATEUISTATE:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      return true;
    default:
      return false;
  }
}

LRESULT pass_on(HWND control, UINT message, WPARAM first, LPARAM second) {
  return CallWindowProcA(button_class_procedure, control, message, first, second);
}

// Prints (into an off-screen bitmap, or a parent that prints its children)
// get the picture over what the button printed. A window print reaches the
// client area through a nested client print, which draws the picture
// already; drawing it twice would blend its translucent pixels twice.
unsigned client_prints = 0;

LRESULT print_with_picture(GadgetObject* gadget, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_PRINTCLIENT) ++client_prints;
  const unsigned before = client_prints;
  const LRESULT result = pass_on(gadget->handle, message, first, second);
  if (message == WM_PRINTCLIENT || client_prints == before)
    draw_picture(gadget, reinterpret_cast<HDC>(first));
  return result;
}

LRESULT redraw_with_picture(GadgetObject* gadget, UINT message, WPARAM first, LPARAM second) {
  const HWND control = gadget->handle;
  const bool printing = message == WM_PRINT || message == WM_PRINTCLIENT;
  if (themed_controls()) {
    if (printing) return print_with_picture(gadget, message, first, second);
    ValidateRect(control, nullptr);
    const LRESULT result = pass_on(control, message, first, second);
    paint_off_screen(gadget);
    return result;
  }
  // A picture with alpha blends with what is under it: the button is
  // painted afresh under it each time.
  if (chosen_picture(gadget).prepared) InvalidateRect(control, nullptr, TRUE);
  if (printing) return print_with_picture(gadget, message, first, second);
  const LRESULT result = pass_on(control, message, first, second);
  const WindowDc context(control);
  if (context) draw_picture(gadget, context.get());
  return result;
}

void remake_prepared(GadgetObject* gadget, bool disabled) {
  ImageButtonFields& fields = fields_of(gadget);
  bitmap_free_premultiplied(fields.prepared);
  bitmap_free_premultiplied(fields.pressed_prepared);
  fields.prepared =
      picture_prepared_copy(fields.image, disabled, gadget->dpi, fields.detailed_image);
  fields.pressed_prepared = picture_prepared_copy(fields.pressed_image, disabled, gadget->dpi);
}

// Whether the prepared picture is the one for the window's DPI.
bool prepared_for_dpi(GadgetObject* gadget) {
  const ImageButtonFields& fields = fields_of(gadget);
  const SIZE wanted = picture_display_size(fields.image, gadget->dpi);
  const SIZE own = picture_size(fields.image);
  const SIZE prepared = picture_size(fields.prepared);
  if (!fields.prepared) return wanted.cx == own.cx && wanted.cy == own.cy;
  return prepared.cx == wanted.cx && prepared.cy == wanted.cy;
}

// The gadget is looked up only for the messages that need it: a look-up
// costs window-property calls, and mouse moves come often.
LRESULT CALLBACK image_button_procedure(HWND control, UINT message, WPARAM first, LPARAM second) {
  const bool redraws = redraws_picture(message);
  const bool dpi_changed = message == DPI_CHANGED_AFTER_PARENT_MESSAGE;
  if (!redraws && message != WM_ENABLE && !dpi_changed)
    return pass_on(control, message, first, second);
  GadgetObject* gadget = gadget_of_control(control);
  if (gadget && redraws) return redraw_with_picture(gadget, message, first, second);
  // The gadget procedure has taken the new DPI; the pictures follow once.
  if (gadget && (!dpi_changed || !prepared_for_dpi(gadget))) {
    remake_prepared(gadget, dpi_changed ? !IsWindowEnabled(control) : first == FALSE);
    InvalidateRect(control, nullptr, TRUE);
  }
  return pass_on(control, message, first, second);
}

std::int64_t image_button_get_attribute(GadgetObject* gadget, std::int64_t attribute) {
  const ImageButtonFields& fields = fields_of(gadget);
  if (attribute == IMAGE_BUTTON_IMAGE) return reinterpret_cast<std::int64_t>(fields.image);
  if (attribute == IMAGE_BUTTON_PRESSED_IMAGE)
    return reinterpret_cast<std::int64_t>(fields.pressed_image);
  if (attribute == IMAGE_BUTTON_DETAILED_IMAGE)
    return reinterpret_cast<std::int64_t>(fields.detailed_image);
  return 0;
}

void image_button_set_attribute(GadgetObject* gadget, std::int64_t attribute, std::int64_t value) {
  ImageButtonFields& fields = fields_of(gadget);
  HANDLE* picture = nullptr;
  HBITMAP* prepared = nullptr;
  if (attribute == IMAGE_BUTTON_DETAILED_IMAGE) {
    fields.detailed_image = reinterpret_cast<HANDLE>(value);
    remake_prepared(gadget, !IsWindowEnabled(gadget->handle));
    InvalidateRect(gadget->handle, nullptr, TRUE);
    return;
  }
  if (attribute == IMAGE_BUTTON_IMAGE) {
    picture = &fields.image;
    prepared = &fields.prepared;
  } else if (attribute == IMAGE_BUTTON_PRESSED_IMAGE) {
    picture = &fields.pressed_image;
    prepared = &fields.pressed_prepared;
  } else {
    return;
  }
  *picture = reinterpret_cast<HANDLE>(value);
  bitmap_free_premultiplied(*prepared);
  *prepared = picture_prepared_copy(*picture, !IsWindowEnabled(gadget->handle), gadget->dpi,
                                    picture == &fields.image ? fields.detailed_image : nullptr);
  InvalidateRect(gadget->handle, nullptr, TRUE);
}

void image_button_release(GadgetObject* gadget) {
  ImageButtonFields& fields = fields_of(gadget);
  bitmap_free_premultiplied(fields.prepared);
  bitmap_free_premultiplied(fields.pressed_prepared);
  fields.prepared = fields.pressed_prepared = nullptr;
}

constexpr GadgetKind kImageButtonKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_IMAGE_BUTTON);
  kind.release = image_button_release;
  kind.get_state = button_get_state;
  kind.set_state = button_set_state;
  kind.get_attribute = image_button_get_attribute;
  kind.set_attribute = image_button_set_attribute;
  return kind;
}();

}  // namespace

std::uintptr_t gadget_create_image_button(object_number number, int x, int y, int width, int height,
                                          std::uintptr_t image, std::uint32_t flags) {
  controls_probe();
  const HWND control =
      gadget_create_control("BUTTON", nullptr, flags | kImageButtonStyle, 0, x, y, width, height);
  if (control) gadget_subclass(control, image_button_procedure, &button_class_procedure);
  GadgetObject* gadget = gadget_register(number, control, &kImageButtonKind);
  if (gadget && image)
    image_button_set_attribute(gadget, IMAGE_BUTTON_IMAGE, static_cast<std::int64_t>(image));
  return gadget_creation_result(number, gadget);
}
