// Starting other programs, and the running program's own file name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int RUN_WAIT = 1;      // return after the program has ended
constexpr int RUN_HIDE = 2;      // hidden window, detached from the console
constexpr int RUN_OPEN = 4;      // return a ProgramRecord instead of 1
constexpr int RUN_READ = 8;      // with RUN_OPEN: pipe from its standard output
constexpr int RUN_WRITE = 16;    // with RUN_OPEN: pipe to its standard input
constexpr int RUN_ERROR = 32;    // with RUN_OPEN: pipe from its standard error
constexpr int RUN_CONNECT = 64;  // its standard input from an earlier record's output pipe

struct ProgramRecord {
  void* process;             // process handle
  std::uint32_t process_id;  // all bits set when started through the shell
  void* input;               // parent's end of the standard-input pipe, or null
  void* output;              // parent's end of the standard-output pipe, or null
  void* error;               // parent's end of the standard-error pipe, or null
};

void programs_start();  // start-up: the program list and its lock
void programs_join_runtime();

// 0 when the program could not be started; 1 when it was (and, with
// RUN_WAIT, has ended); with RUN_OPEN the new record's address.
std::uintptr_t program_run(std::string_view program, std::string_view parameters = {},
                           std::string_view directory = {}, int flags = 0,
                           const ProgramRecord* connect_from = nullptr);

// Closes a record's handles and releases it (ANY_OBJECT: every record).
void program_free(std::intptr_t record);
// Waits up to `milliseconds` (below 0: for ever) for a started program to
// end; 1 when it has ended (or the record names nothing), else 0.
int program_wait(std::intptr_t record, std::int32_t milliseconds);
// Ends a started program at once, as the task manager does.
void program_end(std::intptr_t record);

// The full path of the running program, without a long-path prefix; empty
// when the ANSI code page cannot hold it.
std::string program_filename();

// Programs read their command line in their own ANSI code page: UTF-8
// (65001) for one whose manifest declares it (as this program does), else
// the system's ANSI code page.
unsigned program_code_page(std::string_view program);
// `path` as a program reading its command line in `code_page` can open it:
// as it is where that code page holds every character and the path is
// shorter than 260 characters (a program's ANSI calls take no longer path,
// even where Windows allows long paths), else the short name the file
// system keeps for it where that fits both; empty when neither, so that no
// program is ever given a look-alike. With `keep_name` only the folder may
// go by its short name: for a file the program writes anew under the name
// it is given, where a short name would become the file's only name. The
// file or folder must exist.
std::string path_openable_in(unsigned code_page, std::string_view path, bool keep_name = false);

// Portable rule: true when an application manifest's text declares the
// UTF-8 code page (its activeCodePage element says "UTF-8").
bool manifest_declares_utf8(std::string_view manifest);

// Portable rule: the command line for a program text and its parameters.
std::string program_command_line(std::string_view program, std::string_view parameters);
// Portable rule: the shell fallback's working directory.
std::string program_shell_directory(std::string_view program, std::string_view directory);
