// Window objects: opening with the style and placement rules, closing,
// sizes, titles and the topmost band.
#include "gui/core/window.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gui/core/dpi.h"
#include "gui/core/event_queue.h"
#include "gui/core/event_state.h"
#include "gui/core/post_event_window.h"
#include "gui/core/sizing_loop.h"
#include "gui/core/window_dpi.h"
#include "gui/core/window_hooks.h"
#include "gui/core/window_object.h"
#include "gui/core/window_procedure.h"
#include "runtime/heap.h"
#include "runtime/lifecycle.h"

namespace {

ObjectRegistry* windows = nullptr;
HICON program_icon = nullptr;
HCURSOR arrow_cursor = nullptr;
// The program's icon at the sizes windows have asked for, loaded once each.
struct SizedIcon {
  int size;
  HICON icon;
};
std::vector<SizedIcon> sized_icons;

constexpr int kSystemMenuBarHeight = SM_CYMENU;

HINSTANCE instance() {
  return static_cast<HINSTANCE>(runtime_instance());
}

// "WindowClass_<number>"; a dynamic window uses its handle's value.
struct ClassName {
  char text[40];
  explicit ClassName(object_number id) {
    std::snprintf(text, sizeof text, "WindowClass_%lld", static_cast<long long>(id));
  }
};

void register_window_class(const ClassName& name) {
  WNDCLASSA window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = toolkit_window_procedure;
  window_class.hInstance = instance();
  window_class.hIcon = program_icon;
  window_class.hCursor = arrow_cursor;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name.text;
  RegisterClassA(&window_class);  // a failure shows when the window is created
}

WindowRect window_rect_of(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return WindowRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Tab and Shift+Tab move the focus.
bool make_accelerators(WindowObject* object) {
  object->accelerators = static_cast<ACCEL*>(runtime_alloc(2 * sizeof(ACCEL)));
  if (!object->accelerators) return false;
  object->accelerators[0] = ACCEL{FVIRTKEY | FNOINVERT, VK_TAB, CMD_FOCUS_NEXT};
  object->accelerators[1] = ACCEL{FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, CMD_FOCUS_PREVIOUS};
  object->accelerator_count = 2;
  object->accelerator_table = CreateAcceleratorTableA(object->accelerators, 2);
  return object->accelerator_table != nullptr;
}

void free_accelerators(WindowObject* object) {
  if (object->accelerator_table) DestroyAcceleratorTable(object->accelerator_table);
  runtime_free(object->accelerators);
  object->accelerator_table = nullptr;
  object->accelerators = nullptr;
}

// The program's icon (resource 1) at a size: the platform takes the image of
// the icon group nearest to it, scaled only where the group has no image of
// that size.
HICON program_icon_of_size(int size) {
  for (const SizedIcon& known : sized_icons)
    if (known.size == size) return known.icon;
  const auto icon = static_cast<HICON>(
      LoadImageA(instance(), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (icon) sized_icons.push_back({size, icon});
  return icon;
}

void free_sized_icons() {
  for (const SizedIcon& known : sized_icons) DestroyIcon(known.icon);
  sized_icons.clear();
}

// Where a window of the given inner size (in the toolkit's units) goes, and
// its outer size, at a DPI.
WindowPlacement placement_at(int dpi, std::uint32_t flags, int x, int y, int inner_width,
                             int inner_height, const WindowStyle& style,
                             const WindowRect* reference) {
  RECT outer{0, 0, dpi_scale(inner_width, dpi), dpi_scale(inner_height, dpi)};
  dpi_adjust_window_rect(&outer, style.style, style.ex_style, dpi);
  return window_place(flags, x, y, outer.right - outer.left, outer.bottom - outer.top,
                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), reference);
}

void window_release(object_number number) {
  window_close(number);
}

void windows_start() {
  windows = registry_create(sizeof(WindowObject), 16, window_release);
  event_state_start();
  program_icon = LoadIconA(instance(), MAKEINTRESOURCEA(1));
  arrow_cursor = LoadCursorA(nullptr, IDC_ARROW);
}

// Shutdown: every window closes, a pending drop record goes; the registry
// and the state go with the runtime heap, so the kind forgets them.
void windows_end() {
  sizing_loop_abandon();
  if (windows) window_close(ANY_OBJECT);
  event_state_end();
  free_sized_icons();
  windows = nullptr;
}

void events_start() {
  event_queue_start();
  post_event_window_create();
}

void events_end() {
  post_event_window_destroy();
  event_queue_end();
}

}  // namespace

void windows_join_runtime() {
  runtime_join_startup(StartupStage::EventQueue, events_start);
  runtime_join_startup(StartupStage::WindowKind, windows_start);
  runtime_join_shutdown(ShutdownStage::Windows, windows_end);
  runtime_join_shutdown(ShutdownStage::Windows, events_end);
}

WindowObject* window_object(object_number number) {
  return windows ? static_cast<WindowObject*>(registry_lookup(windows, number)) : nullptr;
}

bool window_number_of(HWND window, std::int64_t* number, HWND* found) {
  const HWND desktop = GetDesktopWindow();
  for (HWND w = window; w && w != desktop; w = GetAncestor(w, GA_PARENT)) {
    const auto id = reinterpret_cast<std::intptr_t>(GetPropA(w, WINDOW_ID_PROPERTY));
    if (id != 0) {
      *number = id - 1;
      if (found) *found = w;
      return true;
    }
  }
  return false;
}

std::uintptr_t window_open(object_number number, int x, int y, int inner_width, int inner_height,
                           const char* title, std::uint32_t flags, HWND parent) {
  if (!windows) return 0;
  auto* object = static_cast<WindowObject*>(registry_allocate(windows, number));
  if (!object) return 0;
  *object = WindowObject{};
  const bool dynamic = number == ANY_OBJECT;
  const object_number id = dynamic ? reinterpret_cast<object_number>(object) : number;
  const ClassName class_name(id);
  register_window_class(class_name);

  const WindowStyle style = window_style_from_flags(flags);
  WindowRect reference{};
  bool has_reference = false;
  if (flags & WINDOW_PARENT_CENTERED) {
    const HWND centre_on = parent ? parent : GetActiveWindow();
    if (centre_on) {
      reference = window_rect_of(centre_on);
      has_reference = true;
    }
  }
  // Sized first for the system's DPI; a window that lands on a screen of
  // another DPI is sized and placed again for that one before it shows.
  int dpi = dpi_of_system();
  WindowPlacement place = placement_at(dpi, flags, x, y, inner_width, inner_height, style,
                                       has_reference ? &reference : nullptr);
  const HWND handle =
      CreateWindowExA(style.ex_style, class_name.text, title ? title : "", style.style, place.x,
                      place.y, place.width, place.height, parent, nullptr, instance(), nullptr);
  if (!handle) {
    UnregisterClassA(class_name.text, instance());
    registry_release(windows, id);
    return 0;
  }
  if (const int screen = dpi_of_screen_under(handle); screen != dpi) {
    dpi = screen;
    place = placement_at(dpi, flags, x, y, inner_width, inner_height, style,
                         has_reference ? &reference : nullptr);
    SetWindowPos(handle, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  object->dpi = dpi;
  window_set_icons(handle, dpi);
  object->handle = handle;
  SetPropA(handle, WINDOW_ID_PROPERTY, reinterpret_cast<HANDLE>(id + 1));
  if (!(flags & WINDOW_INVISIBLE)) {
    if (style.style & STYLE_MAXIMIZED)
      ShowWindow(handle, SW_SHOWMAXIMIZED);
    else if (style.style & STYLE_MINIMIZED)
      ShowWindow(handle, SW_SHOWMINIMIZED);
    else
      ShowWindow(handle, SW_SHOWNORMAL);
  }
  object->min_or_max = window_min_or_max_from_style(style.style);
  make_accelerators(object);
  if (!(flags & WINDOW_NO_GADGET_LIST)) window_opened(handle);
  return dynamic ? static_cast<std::uintptr_t>(id) : reinterpret_cast<std::uintptr_t>(handle);
}

void window_close(object_number number) {
  if (!windows) return;
  if (number == ANY_OBJECT) {
    registry_free_all(windows);
    return;
  }
  WindowObject* object = window_object(number);
  if (!object) return;
  const HWND handle = object->handle;
  const HWND owner = GetWindow(handle, GW_OWNER);
  if (owner && !object->mdi_client) SetActiveWindow(owner);
  RemovePropA(handle, WINDOW_ID_PROPERTY);
  window_released(handle);
  if (object->mdi_client) {
    SendMessageA(object->mdi_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(handle), 0);
  } else {
    DestroyWindow(handle);
    UnregisterClassA(ClassName(number).text, instance());
  }
  free_accelerators(object);
  event_queue_remove_window(number);
  registry_release(windows, number);
}

std::int64_t window_width(object_number number, int inner) {
  WindowObject* object = window_object(number);
  if (!object) return 0;
  RECT r{};
  if (inner) {
    GetClientRect(object->handle, &r);
  } else {
    GetWindowRect(object->handle, &r);
  }
  return dpi_unscale(r.right - r.left, object->dpi);
}

std::int64_t window_height(object_number number, int inner) {
  WindowObject* object = window_object(number);
  if (!object) return 0;
  RECT r{};
  if (!inner) {
    GetWindowRect(object->handle, &r);
    return dpi_unscale(r.bottom - r.top, object->dpi);
  }
  GetClientRect(object->handle, &r);
  int height = r.bottom - r.top;
  if (GetMenu(object->handle) && !object->mdi_client)
    height += dpi_system_metric(kSystemMenuBarHeight, object->dpi);
  return dpi_unscale(height, object->dpi);
}

void window_set_icons(HWND window, int dpi) {
  if (const HICON small = program_icon_of_size(dpi_system_metric(SM_CXSMICON, dpi)))
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  if (const HICON big = program_icon_of_size(dpi_system_metric(SM_CXICON, dpi)))
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
}

HWND window_handle(object_number number) {
  WindowObject* object = window_object(number);
  return object ? object->handle : nullptr;
}

void window_set_title(object_number number, const char* text) {
  WindowObject* object = window_object(number);
  if (object && text) SetWindowTextA(object->handle, text);
}

void window_set_topmost(object_number number, int on) {
  WindowObject* object = window_object(number);
  if (!object || object->mdi_client) return;
  SetWindowPos(object->handle, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

WindowSize window_room_on_screen(std::uint32_t flags) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const WindowStyle style = window_style_from_flags(flags | WINDOW_SCREEN_CENTERED);
  const int dpi = dpi_of_system();
  RECT frame{0, 0, 0, 0};
  dpi_adjust_window_rect(&frame, style.style, style.ex_style, dpi);
  const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  const int width = 2 * std::min(cx - work.left, work.right - cx) - (frame.right - frame.left);
  const int height = 2 * std::min(cy - work.top, work.bottom - cy) - (frame.bottom - frame.top);
  // Rounded down, so that the size scaled again stays inside.
  return {std::max(0, width) * DPI_DEFAULT / dpi, std::max(0, height) * DPI_DEFAULT / dpi};
}
