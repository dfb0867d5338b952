// Graphics probe on Windows: msimg32's AlphaBlend and the visual-styles flag.
#include "runtime/graphics_probe.h"

#include <windows.h>

#include "runtime/scoped_win.h"

namespace {

Module msimg32;
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

bool app_themed() {
  Module uxtheme(LoadLibraryA("uxtheme.dll"));
  if (!uxtheme) return false;
  using IsAppThemedFunction = BOOL(WINAPI*)();
  auto is_app_themed = entry<IsAppThemedFunction>(uxtheme.get(), "IsAppThemed");
  return is_app_themed && is_app_themed() != FALSE;
}

}  // namespace

long graphics_common_controls_version() {
  Module comctl(LoadLibraryA("COMCTL32.DLL"));
  if (!comctl) return 1;
  using DllGetVersionFunction = HRESULT(CALLBACK*)(DllVersionRecord*);
  auto get_version = entry<DllGetVersionFunction>(comctl.get(), "DllGetVersion");
  DllVersionRecord record{sizeof(DllVersionRecord), 0, 0, 0, 0};
  if (!get_version || FAILED(get_version(&record))) return 1;
  return static_cast<long>(record.major * 65536 + record.minor);
}

void graphics_probe_start() {
  msimg32.reset(LoadLibraryA("msimg32.dll"));
  alpha_blend =
      msimg32 ? reinterpret_cast<void*>(GetProcAddress(msimg32.get(), "AlphaBlend")) : nullptr;
  visual_styles = app_themed() && graphics_common_controls_version() > 0x5FFFF;
}

void graphics_probe_release() {
  alpha_blend = nullptr;
  msimg32.reset();
}

AlphaBlendService graphics_alpha_blend() {
  return alpha_blend;
}
bool graphics_visual_styles() {
  return visual_styles;
}
