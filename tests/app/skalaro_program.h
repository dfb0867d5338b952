// One run of Skalaro.exe for the end-to-end tests: the program copied into
// a folder of its own (as a user installs it), started with pictures on its
// command line or none, and driven from outside: its requesters answered,
// its gadgets clicked with real input, its window closed through the close
// request the close box sends.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "skalaro_window.h"
#include "support/input.h"

class SkalaroProgram {
 public:
  // Starts `folder`\Skalaro.exe with the pictures as its arguments.
  SkalaroProgram(const std::string& folder, const std::vector<std::string>& pictures) {
    std::string command = "\"" + folder + "\\Skalaro.exe\"";
    for (const std::string& picture : pictures) command += " \"" + picture + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process_)) {
      ADD_FAILURE() << "Skalaro.exe not started: " << command;
      process_ = {};
    }
  }
  ~SkalaroProgram() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  SkalaroProgram(const SkalaroProgram&) = delete;
  SkalaroProgram& operator=(const SkalaroProgram&) = delete;

  DWORD id() const { return process_.dwProcessId; }

  // The main window once it is up (a fresh Wine prefix starts slowly).
  HWND window() {
    if (!main_window_) main_window_ = wait_for_main_window(id(), 120);
    return main_window_;
  }
  HWND gadget(int number) { return GetDlgItem(window(), number); }

  // Waits for a requester with this title, lets `while_up` look at it,
  // presses the button and returns the requester's text.
  std::string answer(const std::string& title, int button,
                     const std::function<void(HWND box)>& while_up = nullptr) {
    const HWND box = wait_for(
        [&] {
          for (const Requester& r : open_requesters(id()))
            if (r.title == title) return r.box;
          return HWND{};
        },
        120);
    if (!box) {
      ADD_FAILURE() << "no requester \"" << title << "\"";
      return {};
    }
    Sleep(300);  // the box has laid itself out
    if (while_up) while_up(box);
    const std::string text = requester_text(box);
    EXPECT_TRUE(press_requester_button(box, button)) << title;
    return text;
  }

  // Waits until the file list is back after a job.
  bool wait_for_job() {
    return wait_for([this] { return window() && job_finished(window()); }, 300);
  }

  // The close request of the close box; the program's exit code (-1 when
  // it did not end in time).
  long close() {
    PostMessageA(window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    return exit_code(60);
  }
  long exit_code(int seconds) {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  // The centre of a gadget on the screen, and a real click on it.
  POINT centre_of(int number) {
    RECT r{};
    GetWindowRect(gadget(number), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void click(int number) {
    const POINT p = centre_of(number);
    click_at(p.x, p.y);
    Sleep(300);
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND main_window_ = nullptr;
};
