// Command-line rules of program launching.
#include "runtime/programs.h"

#include "runtime/strings.h"

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

bool manifest_declares_utf8(std::string_view manifest) {
  constexpr std::string_view kElement = "activeCodePage";
  for (std::size_t at = manifest.find(kElement); at != std::string_view::npos;
       at = manifest.find(kElement, at + kElement.size())) {
    // The element's content, not its closing tag or another name that
    // merely begins with it: "<activeCodePage ...>UTF-8</activeCodePage>".
    if (at == 0 || (manifest[at - 1] != '<' && manifest[at - 1] != ':')) continue;
    const std::size_t open_end = manifest.find('>', at);
    if (open_end == std::string_view::npos || manifest[open_end - 1] == '/') continue;
    const std::size_t close = manifest.find('<', open_end);
    if (close == std::string_view::npos) return false;
    std::string_view content = manifest.substr(open_end + 1, close - open_end - 1);
    while (!content.empty() && (content.front() == ' ' || content.front() == '\n' ||
                                content.front() == '\r' || content.front() == '\t'))
      content.remove_prefix(1);
    while (!content.empty() && (content.back() == ' ' || content.back() == '\n' ||
                                content.back() == '\r' || content.back() == '\t'))
      content.remove_suffix(1);
    return ascii_equal_nocase(content, "UTF-8");
  }
  return false;
}
