#pragma once
// Programs a test starts beside itself (helpers, the real Skalaro.exe, a
// shell for screenshots): the command line as the platform reads it, the
// process's handle owned, its end awaited within a limit.
#include <windows.h>

#include <string>

#include "runtime/scoped_win.h"

struct ChildProcess {
  bool started = false;
  KernelHandle process;  // none for a Unix program that Wine started

  explicit operator bool() const { return started; }
  bool running() const { return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }
  // The exit code; 0xFFFFFFFE when it has not ended within the limit.
  DWORD wait(DWORD limit_ms) const {
    DWORD code = 0xFFFFFFFE;
    if (WaitForSingleObject(process.get(), limit_ms) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.get(), &code);
    return code;
  }
};

// Empty when the program cannot be started.
inline ChildProcess start_process(std::string command, DWORD flags = 0,
                                  const char* directory = nullptr) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ChildProcess child;
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, flags, nullptr, directory,
                     &startup, &started)) {
    child.started = true;
    if (started.hThread) CloseHandle(started.hThread);
    child.process.reset(started.hProcess);
  }
  return child;
}

// Runs a program to its end: its exit code, 0xFFFFFFFF when it could not be
// started, 0xFFFFFFFE when it did not end within the limit.
inline DWORD run_process(std::string command, DWORD limit_ms, DWORD flags = 0) {
  const ChildProcess child = start_process(std::move(command), flags);
  return child ? child.wait(limit_ms) : 0xFFFFFFFF;
}
