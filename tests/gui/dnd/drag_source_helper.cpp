// A second program that drags data onto a point of the screen the way a
// user does: a press on its own small window, DoDragDrop, the mouse moved
// to the target by SendInput (optionally with Shift held), and the release.
//
//   drag_source_helper files|text X Y SHIFT EFFECTS [path...]
//
// "files" offers the paths in the shell's file-drop layout (wide paths),
// "text" offers only plain text. The exit code is the effect the target
// chose (0 when it refused), or 100 + a step number when something failed.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/drop_data_object.h"

namespace {

class DropSource final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *out = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD key_state) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return (key_state & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

void send_mouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof input);
}

void send_key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void pump(int milliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  MSG message;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) return 101;
  const bool files = std::strcmp(argv[1], "files") == 0;
  const int target_x = std::atoi(argv[2]), target_y = std::atoi(argv[3]);
  const bool shift = std::atoi(argv[4]) != 0;
  const DWORD offered = static_cast<DWORD>(std::atoi(argv[5]));
  if (OleInitialize(nullptr) != S_OK) return 102;

  std::vector<unsigned char> bytes;
  CLIPFORMAT format = CF_TEXT;
  if (files) {
    format = CF_HDROP;
    bytes = file_drop_block(std::vector<std::string>(argv + 6, argv + argc));
  } else {
    const char text[] = "nur Text";
    bytes.assign(text, text + sizeof text);
  }
  DataObject data(format, std::move(bytes));
  DropSource source;

  // The drag starts with a press on a window of this program, which then
  // has the keyboard (Shift reaches the drag loop).
  const HWND window =
      CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Quelle", WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10,
                      60, 60, nullptr, nullptr, nullptr, nullptr);
  if (!window) return 103;
  SetForegroundWindow(window);
  pump(200);
  send_mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 40, 40);
  send_mouse(MOUSEEVENTF_LEFTDOWN);
  pump(200);

  std::thread hand([&] {
    Sleep(300);
    for (int step = 1; step <= 10; ++step) {
      send_mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 40 + (target_x - 40) * step / 10,
                 40 + (target_y - 40) * step / 10);
      Sleep(60);
    }
    if (shift) send_key(VK_SHIFT, false);
    Sleep(400);  // the target sees the pointer (and the keys) over it
    send_mouse(MOUSEEVENTF_LEFTUP);
    Sleep(200);
    if (shift) send_key(VK_SHIFT, true);
  });
  DWORD effect = 0;
  const HRESULT result = DoDragDrop(&data, &source, offered, &effect);
  hand.join();
  DestroyWindow(window);
  OleUninitialize();
  if (result != DRAGDROP_S_DROP && result != DRAGDROP_S_CANCEL) return 104;
  return result == DRAGDROP_S_DROP ? static_cast<int>(effect) : 0;
}
