// A running Skalaro.exe seen from another program, the way the platform
// shows it: its main window, its gadgets (child controls whose identifiers
// are the gadget numbers), the requesters it shows, and whether its job has
// ended. Used by the end-to-end tests and by skalaro_driver, which the run
// command uses.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

inline std::string window_text(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

inline std::string class_of(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline bool belongs_to(HWND window, DWORD process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return process == 0 || owner == process;
}

// The visible top-level windows of a process (of every process for 0)
// whose class is `window_class`.
inline std::vector<HWND> top_level_windows(DWORD process, const char* window_class) {
  struct Search {
    DWORD process;
    const char* window_class;
    std::vector<HWND> found;
  } search{process, window_class, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        if (IsWindowVisible(window) && belongs_to(window, s->process) &&
            class_of(window) == s->window_class)
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The main window: the toolkit's class of window 0, a title that begins
// with "Skalaro v". Null when there is none.
inline HWND skalaro_main_window(DWORD process = 0) {
  for (HWND window : top_level_windows(process, "WindowClass_0"))
    if (window_text(window).rfind("Skalaro v", 0) == 0) return window;
  return nullptr;
}

template <typename Found>
auto wait_for(Found found, int seconds) -> decltype(found()) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    if (auto result = found()) return result;
    if (std::chrono::steady_clock::now() > give_up) return {};
    Sleep(50);
  }
}

inline HWND wait_for_main_window(DWORD process, int seconds) {
  return wait_for([process] { return skalaro_main_window(process); }, seconds);
}

// The job has ended when the file list is back in the main window: the
// list first appears after the job that the command line started, and it
// gives way to the job's gadgets while a job runs.
inline bool job_finished(HWND main_window) {
  return GetDlgItem(main_window, 1000) != nullptr;
}

struct Requester {
  HWND box;
  std::string title;
  std::string text;
};

// The text of a message box: its longest static text (the icon is a
// static without text).
inline std::string requester_text(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_stricmp(class_of(child).c_str(), "Static") != 0) continue;
    std::string candidate = window_text(child);
    if (candidate.size() > text.size()) text = candidate;
  }
  return text;
}

// The message boxes the process shows.
inline std::vector<Requester> open_requesters(DWORD process) {
  std::vector<Requester> requesters;
  for (HWND box : top_level_windows(process, "#32770"))
    requesters.push_back({box, window_text(box), requester_text(box)});
  return requesters;
}

// Presses a button of a message box (IDOK, IDYES, IDNO).
inline bool press_requester_button(HWND box, int button) {
  HWND control = GetDlgItem(box, button);
  if (!control) return false;
  SendMessageA(control, BM_CLICK, 0, 0);
  return true;
}
