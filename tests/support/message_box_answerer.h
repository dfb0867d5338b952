// Answers a message box from a second thread: waits for a box with the given
// title to appear, lets the test look at the desktop while it is up, then
// presses one of its buttons.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

class MessageBoxAnswerer {
 public:
  // `while_up` runs on the answering thread with the box's handle before the
  // button is pressed.
  MessageBoxAnswerer(std::string title, int button_id,
                     std::function<void(HWND box)> while_up = nullptr)
      : title_(std::move(title)), button_id_(button_id), while_up_(std::move(while_up)) {
    thread_ = std::thread([this] { run(); });
  }
  ~MessageBoxAnswerer() {
    if (thread_.joinable()) thread_.join();
  }
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  // Waits for the thread; true when a box was found and its button pressed.
  bool finish() {
    if (thread_.joinable()) thread_.join();
    return answered_;
  }

 private:
  void run() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    HWND box = nullptr;
    while (!box && std::chrono::steady_clock::now() < deadline) {
      box = FindWindowA("#32770", title_.c_str());
      if (!box) Sleep(20);
    }
    if (!box) return;
    HWND button = nullptr;
    while (!(button = GetDlgItem(box, button_id_)) && std::chrono::steady_clock::now() < deadline)
      Sleep(20);
    if (!button) return;
    Sleep(100);  // let the box finish showing itself
    if (while_up_) while_up_(box);
    SendMessageA(button, BM_CLICK, 0, 0);
    answered_ = true;
  }

  std::string title_;
  int button_id_;
  std::function<void(HWND)> while_up_;
  std::atomic<bool> answered_{false};
  std::thread thread_;
};
