// Font objects on the platform.
#include "gui/core/fonts.h"

#include <windows.h>

#include "runtime/lifecycle.h"
#include "runtime/scoped_win.h"

namespace {

ObjectRegistry* fonts = nullptr;

FontObject* find(object_number number) {
  return fonts ? static_cast<FontObject*>(registry_lookup(fonts, number)) : nullptr;
}

void font_release(object_number number) {
  FontObject* font = find(number);
  if (!font) return;
  DeleteObject(static_cast<HFONT>(font->handle));
  registry_release(fonts, number);
}

void fonts_start() {
  fonts = registry_create(sizeof(FontObject), 16, font_release);
}

// Shutdown: every font goes; the registry goes with the runtime heap.
void fonts_end() {
  font_free(ANY_OBJECT);
  fonts = nullptr;
}

HFONT create_font(const char* face_name, int point_size, std::uint32_t flags) {
  const MemoryDc display(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
  if (!display) return nullptr;
  const FontAttributes a = font_attributes(flags);
  return CreateFontA(font_height(point_size, GetDeviceCaps(display.get(), LOGPIXELSY)), 0, 0, 0,
                     a.weight, a.italic, a.underline, a.strike_out, DEFAULT_CHARSET, 0, 0,
                     static_cast<DWORD>(a.quality), 0, face_name ? face_name : "");
}

}  // namespace

void fonts_join_runtime() {
  runtime_join_startup(StartupStage::FontKind, fonts_start);
  runtime_join_shutdown(ShutdownStage::Fonts, fonts_end);
}

std::uintptr_t font_load(object_number number, const char* face_name, int point_size,
                         std::uint32_t flags) {
  if (!fonts) return 0;
  auto* font = static_cast<FontObject*>(registry_allocate(fonts, number));
  if (!font) return 0;
  font->handle = create_font(face_name, point_size, flags);
  const bool dynamic = number == ANY_OBJECT;
  if (!font->handle) {
    // A dynamic record that never came alive could not be named again.
    if (dynamic) registry_release(fonts, reinterpret_cast<object_number>(font));
    return 0;
  }
  return dynamic ? reinterpret_cast<std::uintptr_t>(font)
                 : reinterpret_cast<std::uintptr_t>(font->handle);
}

void* font_handle(object_number number) {
  FontObject* font = find(number);
  return font ? font->handle : nullptr;
}

void font_free(object_number number) {
  if (!fonts) return;
  if (number == ANY_OBJECT)
    registry_free_all(fonts);
  else
    font_release(number);
}
