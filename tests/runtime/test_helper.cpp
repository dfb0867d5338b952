// A small program that the launching tests start. Its first argument says
// what to do:
//   record FILE       write the command line, the current directory, the
//                     show-window state and whether it has a console to FILE
//   sleep MS [FILE]   wait, then write FILE (when given) and end
//   await EVENT FILE  wait until the named event is set, then write FILE
//   out TEXT          write TEXT to standard output
//   err TEXT          write TEXT to standard error
//   upper             copy standard input to standard output in capitals
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void write_all(HANDLE handle, const std::string& text) {
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int record(const char* file) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  std::FILE* out = std::fopen(file, "wb");
  if (!out) return 1;
  std::fprintf(out, "%s\n%s\n%d\n%d\n", GetCommandLineA(), directory,
               (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1,
               GetConsoleWindow() != nullptr ? 1 : 0);
  std::fclose(out);
  return 0;
}

int touch(const char* file) {
  std::FILE* out = std::fopen(file, "wb");
  if (!out) return 1;
  std::fputs("done", out);
  return std::fclose(out) == 0 ? 0 : 1;
}

int await_event(const char* name, const char* file) {
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
  if (!event) return 1;
  const bool set = WaitForSingleObject(event, 300000) == WAIT_OBJECT_0;
  CloseHandle(event);
  return set ? touch(file) : 1;
}

int upper() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i)
      buffer[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[i])));
    DWORD written = 0;
    WriteFile(out, buffer, got, &written, nullptr);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "record" && argc > 2) return record(argv[2]);
  if (command == "sleep" && argc > 2) {
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    return argc > 3 ? touch(argv[3]) : 0;
  }
  if (command == "await" && argc > 3) return await_event(argv[2], argv[3]);
  if (command == "out" && argc > 2) {
    write_all(GetStdHandle(STD_OUTPUT_HANDLE), argv[2]);
    return 0;
  }
  if (command == "err" && argc > 2) {
    write_all(GetStdHandle(STD_ERROR_HANDLE), argv[2]);
    return 0;
  }
  if (command == "upper") return upper();
  return 3;
}
