// Watches and steers a running Skalaro.exe for scripts/run.sh, through the
// platform's view of its windows (see skalaro_window.h):
//
//   skalaro_driver window SECONDS        waits for the main window, prints its
//                                        frame as "X Y WIDTH HEIGHT"
//   skalaro_driver job SECONDS [answer]  waits until the job has ended (the
//                                        file list is back), printing its
//                                        progress and every requester it shows;
//                                        with "answer" it presses their buttons
//                                        (no one can, on a display nobody sees)
//   skalaro_driver close SECONDS         asks the window to close, as its close
//                                        box does, and waits for the process
//   skalaro_driver timed SECONDS         for the benchmark: prints "ready", then
//                                        waits for a main window to be shown and
//                                        its job to end, and prints the
//                                        milliseconds between the two
//
// Exit code 0 when done, 1 when the time ran out, 2 for a wrong call.
// Texts are printed in UTF-8.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "skalaro_window.h"

namespace {

std::string utf8_of(const std::string& ansi) {
  const int wide_size = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), wide_size);
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

// The status text's first two lines ("40 %", "2 von 5 Bildern verarbeitet").
std::string progress_of(HWND main_window) {
  const std::string status = window_text(GetDlgItem(main_window, 11));
  const std::size_t first = status.find('\r');
  if (first == std::string::npos) return {};
  const std::size_t second = status.find('\r', first + 1);
  return status.substr(0, first) + " - " + status.substr(first + 1, second - first - 1);
}

int wait_window(int seconds) {
  HWND window = wait_for_main_window(0, seconds);
  if (!window) return 1;
  RECT frame{};
  GetWindowRect(window, &frame);
  std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top);
  return 0;
}

int wait_job(int seconds, bool answer) {
  HWND window = wait_for_main_window(0, seconds);
  if (!window) return 1;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  std::set<HWND> told;
  std::string last_progress;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!job_finished(window)) {
    if (!IsWindow(window) || std::chrono::steady_clock::now() > give_up) return 1;
    const std::string progress = progress_of(window);
    if (!progress.empty() && progress != last_progress) {
      std::printf("Skalaro: %s\n", utf8_of(progress).c_str());
      last_progress = progress;
    }
    for (const Requester& requester : open_requesters(process)) {
      if (!told.insert(requester.box).second) continue;
      Sleep(200);  // the box has set its text by now
      std::printf("Skalaro zeigt \"%s\":\n%s\n", utf8_of(requester.title).c_str(),
                  utf8_of(requester_text(requester.box)).c_str());
      if (answer && !press_requester_button(requester.box, IDOK))
        press_requester_button(requester.box, IDYES);
    }
    std::fflush(stdout);
    Sleep(100);
  }
  return 0;
}

// Watches at a fine step from one process, so that neither a driver's own
// start and end nor a coarse poll is counted in the job's time; the step is
// coarse enough not to take the job's processors.
int time_job(int seconds) {
  std::printf("ready\n");
  std::fflush(stdout);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  constexpr DWORD kStep = 5;
  HWND window = nullptr;
  while (!(window = skalaro_main_window())) {
    if (std::chrono::steady_clock::now() > give_up) return 1;
    Sleep(kStep);
  }
  const auto shown = std::chrono::steady_clock::now();
  while (!job_finished(window)) {
    if (!IsWindow(window) || std::chrono::steady_clock::now() > give_up) return 1;
    Sleep(kStep);
  }
  const auto done = std::chrono::steady_clock::now();
  std::printf("%.1f\n", std::chrono::duration<double, std::milli>(done - shown).count());
  return 0;
}

int close_window(int seconds) {
  HWND window = skalaro_main_window();
  if (!window) return 0;
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  const DWORD waited =
      process ? WaitForSingleObject(process, static_cast<DWORD>(seconds) * 1000) : WAIT_FAILED;
  if (process) CloseHandle(process);
  return waited == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string command = argv[1];
  const int seconds = std::atoi(argv[2]);
  if (command == "window") return wait_window(seconds);
  if (command == "job") return wait_job(seconds, argc > 3 && std::string(argv[3]) == "answer");
  if (command == "close") return close_window(seconds);
  if (command == "timed") return time_job(seconds);
  return 2;
}
