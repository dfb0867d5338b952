// Command-line rules of program launching.
#include "runtime/programs.h"

std::string program_command_line(std::string_view program, std::string_view parameters) {
  const bool quoted = !program.empty() && program.front() == '"';
  std::string line;
  line.reserve(program.size() + parameters.size() + 3);
  if (!quoted) line.push_back('"');
  line.append(program);
  if (!quoted) line.push_back('"');
  if (!parameters.empty()) {
    line.push_back(' ');
    line.append(parameters);
  }
  return line;
}

std::string program_shell_directory(std::string_view program, std::string_view directory) {
  if (!directory.empty()) return std::string(directory);
  std::size_t last = program.find_last_of('\\');
  if (last == std::string_view::npos || last == 0) return {};
  return std::string(program.substr(0, last + 1));
}
