// Gadgets at their window's DPI: places and fonts.
#include "gui/gadgets/gadget_dpi.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "gui/core/dpi.h"
#include "gui/core/window_dpi.h"

namespace {

struct ScaledFont {
  LOGFONTA shape;  // of the font it was scaled from
  int dpi;
  HFONT font;
};

std::vector<ScaledFont> scaled_fonts;

// Fonts are told apart by what they are made of, not by their handles: a
// handle of a deleted font may come back for another font.
bool same_shape(const LOGFONTA& a, const LOGFONTA& b) {
  return std::memcmp(&a, &b, offsetof(LOGFONTA, lfFaceName)) == 0 &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

}  // namespace

GadgetArea gadget_area_at(const GadgetArea& place, int dpi) {
  return {dpi_scale(place.x, dpi), dpi_scale(place.y, dpi), dpi_scale(place.width, dpi),
          dpi_scale(place.height, dpi)};
}

HFONT gadget_display_font(HFONT font, int dpi) {
  const int system = dpi_of_system();
  LOGFONTA shape{};
  if (!font || dpi <= 0 || dpi == system || !GetObjectA(font, sizeof shape, &shape)) return font;
  for (const ScaledFont& known : scaled_fonts)
    if (known.dpi == dpi && same_shape(known.shape, shape)) return known.font;
  LOGFONTA scaled = shape;
  scaled.lfHeight = dpi_font_size(shape.lfHeight, system, dpi);
  scaled.lfWidth = dpi_font_size(shape.lfWidth, system, dpi);
  const HFONT made = CreateFontIndirectA(&scaled);
  if (!made) return font;
  scaled_fonts.push_back({shape, dpi, made});
  return made;
}

void gadget_display_fonts_end() {
  for (const ScaledFont& known : scaled_fonts) DeleteObject(known.font);
  scaled_fonts.clear();
}

void gadget_show_font(GadgetObject* gadget) {
  const HFONT shown = gadget_display_font(gadget->font, gadget->dpi);
  if (gadget->kind && gadget->kind->set_font)
    gadget->kind->set_font(gadget, shown);
  else
    SendMessageA(gadget->handle, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
}

void gadget_set_pixel_size(GadgetObject* gadget, int width, int height) {
  gadget->place.width = dpi_unscale(width, gadget->dpi);
  gadget->place.height = dpi_unscale(height, gadget->dpi);
  SetWindowPos(gadget->handle, nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool gadget_follow_dpi(GadgetObject* gadget) {
  const int dpi = dpi_of_window(gadget->handle);
  if (dpi == gadget->dpi) return false;
  gadget->dpi = dpi;
  const GadgetArea area = gadget_area_at(gadget->place, dpi);
  SetWindowPos(gadget->handle, nullptr, area.x, area.y, area.width, area.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  gadget_show_font(gadget);
  return true;
}
