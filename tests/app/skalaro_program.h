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
#include "support/child_process.h"
#include "support/input.h"

class SkalaroProgram {
 public:
  // Starts `folder`\Skalaro.exe with the pictures as its arguments.
  SkalaroProgram(const std::string& folder, const std::vector<std::string>& pictures) {
    std::string command = "\"" + folder + "\\Skalaro.exe\"";
    for (const std::string& picture : pictures) command += " \"" + picture + "\"";
    process_ = start_process(command, 0, folder.c_str());
    if (!process_) ADD_FAILURE() << "Skalaro.exe not started: " << command;
  }
  ~SkalaroProgram() {
    if (!process_) return;
    if (process_.running()) TerminateProcess(process_.process.get(), 99);
    process_.wait(10000);
  }
  SkalaroProgram(const SkalaroProgram&) = delete;
  SkalaroProgram& operator=(const SkalaroProgram&) = delete;

  DWORD id() const { return GetProcessId(process_.process.get()); }

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
  // -1 when it has not ended within the time.
  long exit_code(int seconds) {
    const DWORD code = process_.wait(static_cast<DWORD>(seconds) * 1000);
    return code == 0xFFFFFFFE ? -1 : static_cast<long>(code);
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
  ChildProcess process_;
  HWND main_window_ = nullptr;
};
