// Program launching over CreateProcess, with the shell's open service as the
// fall-back, and the list of programs the caller holds on to.
#include "runtime/programs.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>
#include <vector>

#include "runtime/lifecycle.h"
#include "runtime/platform_lock.h"
#include "runtime/registry.h"
#include "runtime/scoped_win.h"
#include "runtime/wide_text.h"

namespace {

constexpr int kPipeFlags = RUN_READ | RUN_WRITE | RUN_ERROR | RUN_CONNECT;

PlatformLock program_lock;
bool lock_ready = false;
ObjectRegistry* programs = nullptr;

void program_release(object_number id) {
  registry_free_object<ProgramRecord>(programs, id, [](ProgramRecord& record) {
    for (void* handle : {record.process, record.input, record.output, record.error})
      KernelHandle(handle).reset();
  });
}

// Shutdown: the records' handles are closed, and the kind forgets its
// registry, which goes with the runtime heap.
void end_programs() {
  LockGuard guard(lock_ready ? &program_lock : nullptr);
  registry_free_all(programs);
  programs = nullptr;
}

// The pipes of one start: the child's ends are inherited by it, the
// parent's ends are not.
struct StandardPipes {
  KernelHandle child_input, child_output, child_error;
  KernelHandle parent_input, parent_output, parent_error;
  bool any = false;
};

bool non_inheritable(KernelHandle& handle) {
  HANDLE duplicate = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle.get(), GetCurrentProcess(), &duplicate, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return false;
  handle.reset(duplicate);
  return true;
}

bool make_pipe(KernelHandle& child_end, KernelHandle& parent_end, bool child_reads) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return false;
  child_end.reset(child_reads ? read_end : write_end);
  parent_end.reset(child_reads ? write_end : read_end);
  return non_inheritable(parent_end);
}

bool prepare_pipes(int flags, const ProgramRecord* connect_from, StandardPipes& pipes) {
  if ((flags & RUN_CONNECT) && connect_from && connect_from->output) {
    HANDLE inheritable = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), connect_from->output, GetCurrentProcess(),
                         &inheritable, 0, TRUE, DUPLICATE_SAME_ACCESS))
      return false;
    pipes.child_input.reset(inheritable);
    pipes.any = true;
  } else if ((flags & RUN_OPEN) && (flags & RUN_WRITE)) {
    if (!make_pipe(pipes.child_input, pipes.parent_input, true)) return false;
    pipes.any = true;
  }
  if ((flags & RUN_OPEN) && (flags & RUN_READ)) {
    if (!make_pipe(pipes.child_output, pipes.parent_output, false)) return false;
    pipes.any = true;
  }
  if ((flags & RUN_OPEN) && (flags & RUN_ERROR)) {
    if (!make_pipe(pipes.child_error, pipes.parent_error, false)) return false;
    pipes.any = true;
  }
  if (flags & RUN_CONNECT) pipes.any = true;
  return true;
}

std::uintptr_t keep_record(KernelHandle process, DWORD id, StandardPipes* pipes) {
  LockGuard guard(lock_ready ? &program_lock : nullptr);
  auto* record = static_cast<ProgramRecord*>(registry_allocate(programs, ANY_OBJECT));
  if (!record) return 0;
  *record = ProgramRecord{process.release(), id, nullptr, nullptr, nullptr};
  if (pipes) {
    record->input = pipes->parent_input.release();
    record->output = pipes->parent_output.release();
    record->error = pipes->parent_error.release();
  }
  return reinterpret_cast<std::uintptr_t>(record);
}

std::uintptr_t finish_started(KernelHandle process, DWORD id, int flags, StandardPipes* pipes) {
  if ((flags & RUN_WAIT) && process) WaitForSingleObject(process.get(), INFINITE);
  if (flags & RUN_OPEN) return keep_record(std::move(process), id, pipes);
  return 1;
}

std::uintptr_t run_through_shell(std::string_view program, std::string_view parameters,
                                 std::string_view directory, int flags, int show) {
  const std::string file(program), arguments(parameters);
  const std::string folder = program_shell_directory(program, directory);
  SHELLEXECUTEINFOA shell{};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  shell.lpFile = file.c_str();
  shell.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
  shell.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  shell.nShow = show;
  if (!ShellExecuteExA(&shell)) return 0;
  return finish_started(KernelHandle(shell.hProcess), 0xFFFFFFFFu, flags, nullptr);
}

}  // namespace

void programs_start() {
  if (!lock_ready) {
    lock_init(&program_lock);
    lock_ready = true;
  }
  programs = registry_create(sizeof(ProgramRecord), 4, program_release);
}

void programs_join_runtime() {
  runtime_join_startup(StartupStage::ProgramKind, programs_start);
  runtime_join_shutdown(ShutdownStage::ProgramKind, end_programs);
}

void program_free(std::intptr_t record) {
  LockGuard guard(lock_ready ? &program_lock : nullptr);
  if (record == ANY_OBJECT)
    registry_free_all(programs);
  else
    program_release(record);
}

namespace {
HANDLE process_of(std::intptr_t record) {
  LockGuard guard(lock_ready ? &program_lock : nullptr);
  const auto* found = static_cast<ProgramRecord*>(registry_lookup(programs, record));
  return found ? found->process : nullptr;
}
}  // namespace

int program_wait(std::intptr_t record, std::int32_t milliseconds) {
  const HANDLE process = process_of(record);
  if (!process) return 1;
  const DWORD limit = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
  return WaitForSingleObject(process, limit) == WAIT_OBJECT_0 ? 1 : 0;
}

void program_end(std::intptr_t record) {
  if (const HANDLE process = process_of(record)) TerminateProcess(process, 1);
}

std::uintptr_t program_run(std::string_view program, std::string_view parameters,
                           std::string_view directory, int flags,
                           const ProgramRecord* connect_from) {
  const bool hide = (flags & RUN_HIDE) != 0;
  const int show = hide ? SW_HIDE : SW_SHOWNORMAL;
  StandardPipes pipes;
  bool started = false;
  PROCESS_INFORMATION process{};
  if (prepare_pipes(flags, connect_from, pipes) && !program.empty()) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    DWORD creation = NORMAL_PRIORITY_CLASS;
    if (pipes.any) {
      startup.dwFlags |= STARTF_USESTDHANDLES;
      startup.hStdInput =
          pipes.child_input ? pipes.child_input.get() : GetStdHandle(STD_INPUT_HANDLE);
      startup.hStdOutput =
          pipes.child_output ? pipes.child_output.get() : GetStdHandle(STD_OUTPUT_HANDLE);
      startup.hStdError =
          pipes.child_error ? pipes.child_error.get() : GetStdHandle(STD_ERROR_HANDLE);
    } else if (hide) {
      creation |= DETACHED_PROCESS;
    }
    std::string line = program_command_line(program, parameters);
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    const std::string folder(directory);
    started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, pipes.any ? TRUE : FALSE,
                             creation, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                             &process) != FALSE;
  }
  // The child's ends are the child's now (or nobody's, after a failure).
  pipes.child_input.reset();
  pipes.child_output.reset();
  pipes.child_error.reset();
  if (started) {
    KernelHandle(process.hThread).reset();
    return finish_started(KernelHandle(process.hProcess), process.dwProcessId, flags, &pipes);
  }
  if ((flags & kPipeFlags) != 0 || program.empty()) return 0;
  return run_through_shell(program, parameters, directory, flags, show);
}

std::string program_filename() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      std::wstring_view name(buffer.data(), length);
      if (name.starts_with(L"\\\\?\\")) name.remove_prefix(4);
      std::string ansi;
      return ansi_from_wide(name, ansi) ? ansi : std::string();
    }
    buffer.resize(buffer.size() * 2);  // cut: ask again with more room
  }
}

unsigned program_code_page(std::string_view program) {
  std::wstring name, full;
  if (wide_from_ansi(program, name)) {
    const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    full.resize(length);
    const DWORD written = length ? GetFullPathNameW(name.c_str(), length, full.data(), nullptr) : 0;
    full.resize(written < length ? written : 0);
  }
  const Module image(full.empty() ? nullptr
                                  : LoadLibraryExW(full.c_str(), nullptr,
                                                   LOAD_LIBRARY_AS_DATAFILE |
                                                       LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  const HRSRC found =
      image ? FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) : nullptr;
  const HGLOBAL loaded = found ? LoadResource(image.get(), found) : nullptr;
  const void* text = loaded ? LockResource(loaded) : nullptr;
  if (text && manifest_declares_utf8(std::string_view(static_cast<const char*>(text),
                                                      SizeofResource(image.get(), found))))
    return CP_UTF8;
  DWORD system_page = 0;
  GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                 reinterpret_cast<LPWSTR>(&system_page), sizeof system_page / sizeof(wchar_t));
  return system_page ? system_page : CP_ACP;
}

namespace {
std::wstring short_path_of(const std::wstring& path) {
  const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  std::wstring shorter(length, L'\0');
  const DWORD written = length ? GetShortPathNameW(path.c_str(), shorter.data(), length) : 0;
  shorter.resize(written < length ? written : 0);
  return shorter;
}
}  // namespace

std::string path_openable_in(unsigned code_page, std::string_view path, bool keep_name) {
  std::wstring wide;
  std::string in_its_page;
  if (!wide_from_ansi(path, wide)) return {};
  // A program's ANSI calls take no path of 260 characters or more, even
  // where Windows allows long paths.
  if (wide.size() < MAX_PATH && text_from_wide(wide, code_page, in_its_page))
    return std::string(path);
  std::wstring shorter;
  const std::size_t slash = wide.find_last_of(L'\\');
  if (!keep_name)
    shorter = short_path_of(wide);
  else if (slash != std::wstring::npos && slash > 0)
    if (std::wstring folder = short_path_of(wide.substr(0, slash)); !folder.empty())
      shorter = folder + wide.substr(slash);
  std::string ansi;
  if (shorter.empty() || shorter.size() >= MAX_PATH ||
      !text_from_wide(shorter, code_page, in_its_page) || !ansi_from_wide(shorter, ansi))
    return {};
  return ansi;
}
