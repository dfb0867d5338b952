// Small owners of Win32 handles, so that error paths cannot leak them.
//
// ScopedHandle<Traits> owns one handle whose release needs nothing but the
// handle (kernel objects, find handles, GDI objects, memory device contexts,
// modules, icons, global memory blocks). Device contexts borrowed from a window and objects
// selected into a context need a second value to be given back, so they have
// classes of their own below.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  explicit operator bool() const { return Traits::valid(handle_); }
  Handle get() const { return handle_; }
  Handle* out() {
    reset();
    return &handle_;
  }
  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    if (Traits::valid(handle_)) Traits::close(handle_);
    handle_ = handle;
  }
  // Releases the handle now; false when there was none or the platform
  // reports that releasing it failed (a file's last writes, for one).
  bool close() {
    if (!Traits::valid(handle_)) return false;
    return Traits::close(release());
  }

 private:
  Handle handle_ = Traits::invalid();
};

// Traits for handles whose null value means "none".
template <typename H, auto Close>
struct NullableHandleTraits {
  using Handle = H;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr; }
  static bool close(Handle h) { return Close(h); }
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static bool close(Handle h) { return CloseHandle(h) != FALSE; }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool close(Handle h) { return FindClose(h) != FALSE; }
};

inline bool delete_gdi_object(HGDIOBJ object) {
  return DeleteObject(object) != FALSE;
}
inline bool delete_memory_dc(HDC context) {
  return DeleteDC(context) != FALSE;
}
inline bool free_module(HMODULE module) {
  return FreeLibrary(module) != FALSE;
}
inline bool destroy_icon(HICON icon) {
  return DestroyIcon(icon) != FALSE;
}
inline bool free_global(HGLOBAL block) {
  return GlobalFree(block) == nullptr;
}

// Kernel objects: files, processes, threads, events, pipes.
using KernelHandle = ScopedHandle<KernelHandleTraits>;
// FindFirstFile searches.
using FindHandle = ScopedHandle<FindHandleTraits>;
// Bitmaps, brushes, fonts, regions and pens made by this code.
using GdiObject = ScopedHandle<NullableHandleTraits<HGDIOBJ, delete_gdi_object>>;
// Device contexts made with CreateCompatibleDC or CreateDC/CreateIC.
using MemoryDc = ScopedHandle<NullableHandleTraits<HDC, delete_memory_dc>>;
// Libraries loaded with LoadLibrary.
using Module = ScopedHandle<NullableHandleTraits<HMODULE, free_module>>;
// Icons made with CreateIconIndirect, CreateIconFromResourceEx and the like.
using IconHandle = ScopedHandle<NullableHandleTraits<HICON, destroy_icon>>;
// Global memory blocks made with GlobalAlloc (not those of a storage
// medium, which ReleaseStgMedium gives back).
using GlobalBlock = ScopedHandle<NullableHandleTraits<HGLOBAL, free_global>>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : WindowDc(window, GetDC(window)) {}
  ~WindowDc() {
    if (context_) ReleaseDC(window_, context_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  explicit operator bool() const { return context_ != nullptr; }
  HDC get() const { return context_; }

 protected:
  WindowDc(HWND window, HDC context) : window_(window), context_(context) {}

 private:
  HWND window_;
  HDC context_;
};

// An object selected into a device context; the previous object goes back
// in when the selection ends.
class SelectedObject {
 public:
  SelectedObject(HDC context, HGDIOBJ object)
      : context_(context), previous_(context && object ? SelectObject(context, object) : nullptr) {}
  ~SelectedObject() {
    if (*this) SelectObject(context_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  explicit operator bool() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC context_;
  HGDIOBJ previous_;
};

// The device context of a whole window, frame included, from GetWindowDC;
// given back with ReleaseDC like WindowDc's.
class WholeWindowDc : public WindowDc {
 public:
  explicit WholeWindowDc(HWND window) : WindowDc(window, GetWindowDC(window)) {}
};
