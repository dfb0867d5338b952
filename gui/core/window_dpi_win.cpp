// DPIs of windows and of the system from the platform; the calls of
// Windows 10 are looked up at run time, so that the program still starts on
// an older Windows.
#include "gui/core/window_dpi.h"

#include "gui/core/dpi.h"
#include "gui/core/window_object.h"
#include "runtime/run_once.h"
#include "runtime/scoped_win.h"

namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using GetDpiForSystemCall = UINT(WINAPI*)();
using GetSystemMetricsForDpiCall = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

struct DpiCalls {
  GetDpiForWindowCall dpi_for_window;
  GetDpiForSystemCall dpi_for_system;
  GetSystemMetricsForDpiCall metrics_for_dpi;
  AdjustWindowRectExForDpiCall adjust_for_dpi;
};

DpiCalls calls{};
RunOnceGuard calls_guard = 0;

template <typename Call>
Call user_call(HMODULE user, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user, name)));
}

void find_calls() {
  const HMODULE user = GetModuleHandleA("user32.dll");
  if (!user) return;
  calls.dpi_for_window = user_call<GetDpiForWindowCall>(user, "GetDpiForWindow");
  calls.dpi_for_system = user_call<GetDpiForSystemCall>(user, "GetDpiForSystem");
  calls.metrics_for_dpi = user_call<GetSystemMetricsForDpiCall>(user, "GetSystemMetricsForDpi");
  calls.adjust_for_dpi = user_call<AdjustWindowRectExForDpiCall>(user, "AdjustWindowRectExForDpi");
}

const DpiCalls& dpi_calls() {
  run_once(&calls_guard, find_calls);
  return calls;
}

}  // namespace

int dpi_of_system() {
  if (const auto call = dpi_calls().dpi_for_system) return static_cast<int>(call());
  const WindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : DPI_DEFAULT;
}

int dpi_of_screen_under(HWND window) {
  const auto call = dpi_calls().dpi_for_window;
  const int dpi = call && window ? static_cast<int>(call(window)) : 0;
  return dpi > 0 ? dpi : dpi_of_system();
}

int dpi_of_window(HWND window) {
  std::int64_t number = -1;
  HWND toolkit_window = nullptr;
  if (window && window_number_of(window, &number, &toolkit_window))
    if (const WindowObject* object = window_object(number))
      if (object->handle == toolkit_window && object->dpi > 0) return object->dpi;
  return dpi_of_screen_under(window);
}

int dpi_system_metric(int index, int dpi) {
  if (const auto call = dpi_calls().metrics_for_dpi) return call(index, static_cast<UINT>(dpi));
  return dpi_font_size(GetSystemMetrics(index), dpi_of_system(), dpi);
}

void dpi_adjust_window_rect(RECT* rect, DWORD style, DWORD ex_style, int dpi) {
  if (const auto call = dpi_calls().adjust_for_dpi)
    if (call(rect, style, FALSE, ex_style, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(rect, style, FALSE, ex_style);
}
