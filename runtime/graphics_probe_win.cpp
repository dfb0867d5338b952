// Graphics probe on Windows: msimg32's AlphaBlend and the visual-styles flag.
#include "runtime/graphics_probe.h"

#include <windows.h>

namespace {

HMODULE msimg32 = nullptr;
AlphaBlendService alpha_blend = nullptr;
bool visual_styles = false;

struct DllVersionRecord {
  DWORD size, major, minor, build, platform;
};
static_assert(sizeof(DllVersionRecord) == 20);

template <typename Function>
Function entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

long graphics_common_controls_version() {
  long version = 1;
  HMODULE comctl = LoadLibraryA("COMCTL32.DLL");
  if (!comctl) return version;
  using DllGetVersionFunction = HRESULT(CALLBACK*)(DllVersionRecord*);
  if (auto get_version = entry<DllGetVersionFunction>(comctl, "DllGetVersion")) {
    DllVersionRecord record{sizeof(DllVersionRecord), 0, 0, 0, 0};
    if (SUCCEEDED(get_version(&record)))
      version = static_cast<long>(record.major * 65536 + record.minor);
  }
  FreeLibrary(comctl);
  return version;
}

bool graphics_app_themed() {
  HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
  if (!uxtheme) return false;
  bool themed = false;
  using IsAppThemedFunction = BOOL(WINAPI*)();
  if (auto is_app_themed = entry<IsAppThemedFunction>(uxtheme, "IsAppThemed"))
    themed = is_app_themed() != FALSE;
  FreeLibrary(uxtheme);
  return themed;
}

void graphics_probe_start() {
  msimg32 = LoadLibraryA("msimg32.dll");
  alpha_blend = msimg32 ? reinterpret_cast<void*>(GetProcAddress(msimg32, "AlphaBlend")) : nullptr;
  visual_styles = graphics_app_themed() && graphics_common_controls_version() > 0x5FFFF;
}

void graphics_probe_release() {
  if (msimg32) FreeLibrary(msimg32);
  msimg32 = nullptr;
  alpha_blend = nullptr;
}

AlphaBlendService graphics_alpha_blend() {
  return alpha_blend;
}
bool graphics_visual_styles() {
  return visual_styles;
}
