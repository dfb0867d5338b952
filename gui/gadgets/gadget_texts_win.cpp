// String (edit field) and text (static text) gadgets, which share their
// colours: a front colour for the text, a back colour with a brush from
// the brush cache, -1 for the platform's own.
#include "gui/gadgets/gadgets.h"

#include <algorithm>

#include "gui/gadgets/brush_cache.h"
#include "gui/gadgets/gadget_kind.h"

namespace {

constexpr DWORD kStringStyle = 0x50030080;  // child, visible, group, tab stop, auto scroll
constexpr DWORD kTextStyle = 0x50020000;    // child, visible, group
constexpr DWORD kSunkenEdge = WS_EX_CLIENTEDGE;
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_INTERNALPAINT | RDW_FRAME;

struct TextFields {
  std::int64_t back_color;
  std::int64_t front_color;
  HBRUSH back_brush;
};
constexpr TextFields kNoColours{GADGET_DEFAULT_COLOR, GADGET_DEFAULT_COLOR, nullptr};

TextFields& colours(GadgetObject* gadget) {
  return gadget_fields<TextFields>(gadget);
}

// The answer to a control-colour message: the colours that are set, with
// the system colour `plain_background` behind a text that only has a front
// colour; NOT_HANDLED when neither is set.
std::int64_t colour_answer(GadgetObject* gadget, WPARAM context, int plain_background) {
  const TextFields& c = colours(gadget);
  const auto dc = reinterpret_cast<HDC>(context);
  if (c.front_color != GADGET_DEFAULT_COLOR) SetTextColor(dc, static_cast<COLORREF>(c.front_color));
  if (c.back_color != GADGET_DEFAULT_COLOR) {
    SetBkColor(dc, static_cast<COLORREF>(c.back_color));
    return reinterpret_cast<std::int64_t>(c.back_brush);
  }
  if (c.front_color == GADGET_DEFAULT_COLOR) return NOT_HANDLED;
  SetBkColor(dc, GetSysColor(plain_background));
  return reinterpret_cast<std::int64_t>(GetSysColorBrush(plain_background));
}

void set_color(GadgetObject* gadget, std::int64_t which, std::int64_t color) {
  TextFields& c = colours(gadget);
  if (which == COLOR_FRONT) {
    c.front_color = color;
  } else if (which == COLOR_BACK) {
    brush_cache_release(c.back_brush);
    c.back_brush =
        color == GADGET_DEFAULT_COLOR ? nullptr : brush_cache_take(static_cast<COLORREF>(color));
    c.back_color = color;
  } else {
    return;
  }
  RedrawWindow(gadget->handle, nullptr, nullptr, kRedrawAll);
}

std::int64_t get_color(GadgetObject* gadget, std::int64_t which) {
  if (which == COLOR_FRONT) return colours(gadget).front_color;
  if (which == COLOR_BACK) return colours(gadget).back_color;
  return GADGET_DEFAULT_COLOR;
}

void release_colours(GadgetObject* gadget) {
  brush_cache_release(colours(gadget).back_brush);
  colours(gadget).back_brush = nullptr;
}

// String: an edit control answers its own colour message, and the static
// one (read-only fields) while it is enabled.
std::int64_t string_parent_message(GadgetObject* gadget, HWND, UINT message, WPARAM first, LPARAM) {
  if (message == WM_CTLCOLOREDIT) return colour_answer(gadget, first, COLOR_WINDOW);
  if (message == WM_CTLCOLORSTATIC && IsWindowEnabled(gadget->handle))
    return colour_answer(gadget, first, COLOR_BTNFACE);
  return NOT_HANDLED;
}

std::int64_t string_get_attribute(GadgetObject* gadget, std::int64_t attribute) {
  if (attribute != STRING_MAX_LENGTH) return 0;
  return SendMessageA(gadget->handle, EM_GETLIMITTEXT, 0, 0);
}

// A limit of 0 would mean the platform's default maximum; the field holds
// at least one character.
void string_set_attribute(GadgetObject* gadget, std::int64_t attribute, std::int64_t value) {
  if (attribute == STRING_MAX_LENGTH)
    SendMessageA(gadget->handle, EM_SETLIMITTEXT,
                 static_cast<WPARAM>(std::max<std::int64_t>(value, 1)), 0);
}

std::int64_t text_parent_message(GadgetObject* gadget, HWND, UINT message, WPARAM first, LPARAM) {
  return message == WM_CTLCOLORSTATIC ? colour_answer(gadget, first, COLOR_BTNFACE) : NOT_HANDLED;
}

// Every edit field reports getting and losing the keyboard focus.
WNDPROC edit_class_procedure = nullptr;

LRESULT CALLBACK string_procedure(HWND control, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_SETFOCUS)
    gadget_post_event(control, EVENT_TYPE_FOCUS);
  else if (message == WM_KILLFOCUS)
    gadget_post_event(control, EVENT_TYPE_LOST_FOCUS);
  return CallWindowProcA(edit_class_procedure, control, message, first, second);
}

constexpr GadgetKind kStringKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_STRING);
  kind.on_parent_message = string_parent_message;
  kind.release = release_colours;
  kind.get_attribute = string_get_attribute;
  kind.set_attribute = string_set_attribute;
  kind.set_color = set_color;
  kind.get_color = get_color;
  return kind;
}();

constexpr GadgetKind kTextKind = [] {
  GadgetKind kind = gadget_kind_table(KIND_TEXT);
  kind.on_parent_message = text_parent_message;
  kind.release = release_colours;
  kind.set_color = set_color;
  kind.get_color = get_color;
  return kind;
}();

}  // namespace

std::uintptr_t gadget_create_string(object_number number, int x, int y, int width, int height,
                                    const char* text, std::uint32_t flags) {
  const DWORD ex_style = (flags & GADGET_SUNKEN) ? 0 : kSunkenEdge;
  const HWND control =
      gadget_create_control("Edit", text, flags | kStringStyle, ex_style, x, y, width, height);
  if (control) gadget_subclass(control, string_procedure, &edit_class_procedure);
  return gadget_creation_result(number, gadget_register(number, control, &kStringKind, kNoColours));
}

std::uintptr_t gadget_create_text(object_number number, int x, int y, int width, int height,
                                  const char* text, std::uint32_t flags) {
  const DWORD ex_style = (flags & GADGET_SUNKEN) ? kSunkenEdge : 0;
  const HWND control =
      gadget_create_control("Static", text, flags | kTextStyle, ex_style, x, y, width, height);
  return gadget_creation_result(number, gadget_register(number, control, &kTextKind, kNoColours));
}
