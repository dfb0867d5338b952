// Program launching with a helper program of the tests' own.
#include "runtime/programs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "runtime/files.h"
#include "runtime/registry.h"
#include "runtime/scoped_win.h"
#include "runtime/strings.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

namespace {

struct Recorded {
  std::string command_line, directory;
  int show = -2, console = -1;
};

class ProgramsTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() { programs_join_runtime(); }
  ScratchDir dir;
  std::string helper = path_part(program_filename()) + "test_helper.exe";

  Recorded read_record(const std::string& file) {
    std::ifstream in(file);
    Recorded r;
    std::string show, console;
    std::getline(in, r.command_line);
    std::getline(in, r.directory);
    std::getline(in, show);
    std::getline(in, console);
    r.show = show.empty() ? -2 : std::stoi(show);
    r.console = console.empty() ? -1 : std::stoi(console);
    return r;
  }
  static std::string read_pipe(void* handle) {
    std::string text;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(static_cast<HANDLE>(handle), buffer, sizeof buffer, &got, nullptr) && got > 0)
      text.append(buffer, got);
    return text;
  }
  static DWORD handle_count() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
  }
};

TEST_F(ProgramsTest, own_file_name_has_no_long_path_prefix) {
  std::string name = program_filename();
  EXPECT_NE(name.rfind("\\\\?\\", 0), 0u);
  EXPECT_EQ(string_lower(file_part(name)), "runtime_win_tests.exe");
  EXPECT_GT(file_size(name), 0);
}

TEST_F(ProgramsTest, waits_and_passes_parameters_unchanged_with_blanks) {
  std::string record = dir.file("rec.txt");
  std::string parameters = "record " + record + "  \"two words\"   x";
  ASSERT_EQ(program_run(helper, parameters, "", RUN_WAIT), 1u);
  Recorded r = read_record(record);
  EXPECT_EQ(r.command_line, "\"" + helper + "\" " + parameters);
}

TEST_F(ProgramsTest, quoted_program_text_is_not_quoted_again) {
  std::string record = dir.file("rec.txt");
  ASSERT_EQ(program_run("\"" + helper + "\"", "record " + record, "", RUN_WAIT), 1u);
  EXPECT_EQ(read_record(record).command_line, "\"" + helper + "\" record " + record);
}

TEST_F(ProgramsTest, hidden_start_shows_no_window_and_has_no_console) {
  std::string record = dir.file("rec.txt");
  ASSERT_EQ(program_run(helper, "record " + record, "", RUN_WAIT | RUN_HIDE), 1u);
  Recorded r = read_record(record);
  EXPECT_EQ(r.show, SW_HIDE);
  EXPECT_EQ(r.console, 0);
  ASSERT_EQ(program_run(helper, "record " + record, "", RUN_WAIT), 1u);
  EXPECT_EQ(read_record(record).show, SW_SHOWNORMAL);
}

TEST_F(ProgramsTest, working_directory_or_the_current_one) {
  std::string record = dir.file("rec.txt");
  CreateDirectoryA(dir.file("work").c_str(), nullptr);
  ASSERT_EQ(program_run(helper, "record " + record, dir.file("work"), RUN_WAIT), 1u);
  EXPECT_EQ(string_lower(read_record(record).directory), string_lower(dir.file("work")));
  std::string current = directory_current();
  ASSERT_EQ(program_run(helper, "record " + record, "", RUN_WAIT), 1u);
  EXPECT_EQ(string_lower(read_record(record).directory + "\\"), string_lower(current));
}

TEST_F(ProgramsTest, without_wait_it_returns_while_the_program_still_runs) {
  // The helper cannot end before the test sets the event, so a return
  // before that proves the call did not wait.
  const std::string name = "skalaro-programs-" + std::to_string(GetCurrentProcessId());
  KernelHandle release(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
  ASSERT_TRUE(release);
  const std::string done = dir.file("done.txt");
  ASSERT_EQ(program_run(helper, "await " + name + " " + done, "", 0), 1u);
  EXPECT_EQ(file_size(done), FILE_SIZE_MISSING);
  SetEvent(release.get());
  for (int i = 0; i < 600 && file_size(done) < 4; ++i) Sleep(100);  // a minute at most
  EXPECT_EQ(file_size(done), 4);
}

TEST_F(ProgramsTest, with_wait_it_returns_after_the_program_has_ended) {
  const std::string done = dir.file("done.txt");
  ASSERT_EQ(program_run(helper, "sleep 300 " + done, "", RUN_WAIT | RUN_HIDE), 1u);
  EXPECT_EQ(file_size(done), 4);  // the helper's last act was done before the return
}

TEST_F(ProgramsTest, pipes_in_both_directions) {
  auto* upper = reinterpret_cast<ProgramRecord*>(
      program_run(helper, "upper", "", RUN_OPEN | RUN_READ | RUN_WRITE | RUN_HIDE));
  ASSERT_NE(upper, nullptr);
  EXPECT_NE(upper->process, nullptr);
  ASSERT_NE(upper->input, nullptr);
  ASSERT_NE(upper->output, nullptr);
  EXPECT_EQ(upper->error, nullptr);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(upper->input, "hallo welt", 10, &written, nullptr));
  CloseHandle(upper->input);
  upper->input = nullptr;
  EXPECT_EQ(read_pipe(upper->output), "HALLO WELT");
  auto* err =
      reinterpret_cast<ProgramRecord*>(program_run(helper, "err fehler", "", RUN_OPEN | RUN_ERROR));
  ASSERT_NE(err, nullptr);
  EXPECT_EQ(read_pipe(err->error), "fehler");
  program_free(ANY_OBJECT);
}

TEST_F(ProgramsTest, a_connected_pipeline_of_two_programs) {
  auto* first = reinterpret_cast<ProgramRecord*>(
      program_run(helper, "out bild.jpg", "", RUN_OPEN | RUN_READ));
  ASSERT_NE(first, nullptr);
  auto* second = reinterpret_cast<ProgramRecord*>(
      program_run(helper, "upper", "", RUN_OPEN | RUN_READ | RUN_CONNECT, first));
  ASSERT_NE(second, nullptr);
  CloseHandle(first->output);  // only the second program reads it now
  first->output = nullptr;
  EXPECT_EQ(read_pipe(second->output), "BILD.JPG");
  program_free(ANY_OBJECT);
}

TEST_F(ProgramsTest, missing_program_fails_and_leaves_no_handle_open) {
  const std::string missing = dir.file("no_such_tool.exe");
  program_run(missing, "", "", RUN_WAIT | RUN_HIDE);  // first call may load shell parts
  const DWORD before = handle_count();
  EXPECT_EQ(program_run(missing, "x", "", RUN_WAIT | RUN_HIDE), 0u);
  EXPECT_EQ(program_run("no_such_tool_anywhere.exe", "", "", 0), 0u);
  EXPECT_EQ(program_run(missing, "", "", RUN_OPEN | RUN_READ | RUN_WRITE | RUN_ERROR), 0u);
  EXPECT_EQ(program_run("", "", "", RUN_WAIT), 0u);
  EXPECT_EQ(handle_count(), before);
}

TEST_F(ProgramsTest, open_record_holds_the_process_and_its_id) {
  auto* record =
      reinterpret_cast<ProgramRecord*>(program_run(helper, "sleep 10", "", RUN_OPEN | RUN_WAIT));
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->process, nullptr);
  EXPECT_NE(record->process_id, 0u);
  EXPECT_NE(record->process_id, 0xFFFFFFFFu);
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeProcess(static_cast<HANDLE>(record->process), &code));
  EXPECT_EQ(code, 0u);
  program_free(reinterpret_cast<std::intptr_t>(record));
}

TEST(ProgramRules, command_line_and_shell_directory) {
  EXPECT_EQ(program_command_line("jhead.exe", "-te \"a.jpg\" \"b.jpg\""),
            "\"jhead.exe\" -te \"a.jpg\" \"b.jpg\"");
  EXPECT_EQ(program_command_line("\"C:\\x y\\t.exe\"", ""), "\"C:\\x y\\t.exe\"");
  EXPECT_EQ(program_command_line("explorer", "C:\\Out\\"), "\"explorer\" C:\\Out\\");
  EXPECT_EQ(program_shell_directory("C:\\Tools\\jhead.exe", ""), "C:\\Tools\\");
  EXPECT_EQ(program_shell_directory("jhead.exe", ""), "");
  EXPECT_EQ(program_shell_directory("\\x", ""), "");
  EXPECT_EQ(program_shell_directory("C:\\Tools\\jhead.exe", "D:\\"), "D:\\");
}

}  // namespace

namespace {

TEST(ProgramLifetime, programs_end_with_the_runtime_and_are_not_touched_afterwards) {
  programs_join_runtime();
  const std::string helper = path_part(program_filename()) + "test_helper.exe";
  ASSERT_TRUE(runtime_start());
  auto* record =
      reinterpret_cast<ProgramRecord*>(program_run(helper, "sleep 1", "", RUN_OPEN | RUN_WAIT));
  ASSERT_NE(record, nullptr);
  HANDLE process = static_cast<HANDLE>(record->process);
  runtime_stop();
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(process, &flags));  // closed with its record
  // No registry to keep a record in, and no freed memory written.
  EXPECT_EQ(program_run(helper, "sleep 1", "", RUN_OPEN | RUN_WAIT), 0u);
  program_free(ANY_OBJECT);
  ASSERT_TRUE(runtime_start());
  EXPECT_NE(program_run(helper, "sleep 1", "", RUN_OPEN | RUN_WAIT), 0u);
  runtime_stop();
}

}  // namespace
