// Command-line rules of program launching.
#include "runtime/programs.h"

std::string program_command_line(std::string_view program, std::string_view parameters) {
  std::string line;
  if (!program.empty() && program.front() == '"') {
    line = program;
  } else {
    line = "\"";
    line += program;
    line += '"';
  }
  if (!parameters.empty()) {
    line += ' ';
    line += parameters;
  }
  return line;
}

std::string program_shell_directory(std::string_view program, std::string_view directory) {
  if (!directory.empty()) return std::string(directory);
  std::size_t last = program.find_last_of('\\');
  if (last == std::string_view::npos || last == 0) return {};
  return std::string(program.substr(0, last + 1));
}
