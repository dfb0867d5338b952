// Real input for window tests: keys and mouse clicks through SendInput, as
// the platform delivers them to the foreground window.
#pragma once

#include <windows.h>

#include <initializer_list>

inline void send_key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

// Presses `key` with the modifiers held down, then lets everything go.
inline void press_key(WORD key, std::initializer_list<WORD> modifiers = {}) {
  for (WORD m : modifiers) send_key(m, false);
  send_key(key, false);
  send_key(key, true);
  for (WORD m : modifiers) send_key(m, true);
}

// Moves the mouse to a screen point (absolute coordinates).
inline void move_mouse_to(int x, int y) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

// One mouse button event (MOUSEEVENTF_LEFTDOWN, ...) where the mouse is.
inline void mouse_button(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// A left (or right) click at a screen point.
inline void click_at(int x, int y, bool right = false) {
  move_mouse_to(x, y);
  INPUT buttons[2]{};
  buttons[0].type = buttons[1].type = INPUT_MOUSE;
  buttons[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  buttons[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, buttons, sizeof buttons[0]);
}

// Brings a window to the front so that keys reach it.
inline bool bring_to_front(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
  return GetForegroundWindow() == window;
}
