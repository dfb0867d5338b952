// The preference state and its eight operations.
#include "prefs/prefs.h"

#include <algorithm>
#include <cctype>

#include "prefs/prefs_file.h"
#include "prefs/prefs_testing.h"
#include "runtime/lifecycle.h"
#include "runtime/file_io.h"
#include "runtime/strings.h"
#include "runtime/utf8.h"

namespace {

PrefsState state{nullptr, {}, {}, 0, 0, 0, {}, {}, 0, 0};

bool in_hand() {
  return state.file != nullptr || !state.pending_name.empty();
}

std::string to_file_text(std::string_view text) {
  if (state.code_page != PREFS_CODE_PAGE_UTF8) return std::string(text);
  return text_to_utf8(text, text.size() * 2).bytes;
}

// The top section runs from the head to the first group header.
PrefsLines::iterator section_end() {
  for (auto it = state.lines.begin(); it != state.lines.end(); ++it)
    if (it->tag == PrefsTag::Group) return it;
  return state.lines.end();
}

PrefsLines::iterator find_key(std::string_view key) {
  const std::string stored = to_file_text(key);
  const auto end = section_end();
  for (auto it = state.lines.begin(); it != end; ++it)
    if (it->tag == PrefsTag::Key && ascii_equal_nocase(it->key, stored)) return it;
  return state.lines.end();
}

// Parses decimal digits after blanks and an optional sign, as "%I64d" reads.
std::int64_t read_decimal(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  std::uint64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    value = value * 10 + (text[at] - '0');
  return static_cast<std::int64_t>(negative ? 0 - value : value);
}

void write_key(std::string_view key, const std::string& value_in_file) {
  if (!in_hand()) return;
  try {
    auto line = find_key(key);
    if (line != state.lines.end()) {
      line->key = to_file_text(key);
      line->text = value_in_file;
    } else {
      line = state.lines.insert(section_end(),
                                PrefsLine{PrefsTag::Key, to_file_text(key), value_in_file});
    }
    state.modified = 1;
    state.last_written = line;
  } catch (const std::bad_alloc&) {
    // an exhausted heap makes the write do nothing
  }
}

// Rewrites the file through its own handle, where no replacement can be
// put beside it. The part beyond the old end is written first, so that a
// full disk fails before any old byte is overwritten (and the file is cut
// back to its old end); then the old bytes are overwritten and the file is
// cut at the new end.
bool rewrite_in_place(PrefsFile* file, std::string_view text) {
  std::uint64_t old_size = 0;
  if (!prefs_file_size(file, &old_size)) return false;
  if (text.size() > old_size && !prefs_file_write_at(file, old_size, text.substr(old_size))) {
    prefs_file_cut(file, old_size);
    return false;
  }
  return prefs_file_write_at(file, 0,
                             text.substr(0, std::min<std::uint64_t>(old_size, text.size()))) &&
         prefs_file_cut(file, text.size());
}

// Writes the lines beside the file and replaces it with them in one step
// once they are complete. The file's own handle, which keeps other writers
// out, is given up only for the replacement (under Windows it would refuse
// the move). When no file can be made beside it (a full disk, a folder
// that takes no new files), or another program's handle refuses the move,
// the text is written through the file's handle instead.
bool write_back(const std::string& name) {
  try {
    const std::string text = prefs_serialize(state.lines, state.code_page, state.flags);
    OutputFile replacement;
    if (replacement.create(name.c_str()) && replacement.write(text.data(), text.size())) {
      const bool held = state.file != nullptr;
      prefs_file_close(state.file);
      state.file = nullptr;
      if (replacement.commit()) return true;
      if (!held) return false;
      bool read_only = false;
      state.file = prefs_file_open(name.c_str(), &read_only);
      if (read_only) return false;
    }
    return state.file && rewrite_in_place(state.file, text);
  } catch (const std::bad_alloc&) {
    return false;  // no output buffer: nothing is written
  }
}

void reset_state() {
  state.file = nullptr;
  state.created = 0;
  state.file_name.clear();
  state.pending_name.clear();
  state.modified = 0;
  state.read_only_open = 0;
  state.code_page = 0;
  state.lines.clear();
  state.last_written = state.lines.end();
  state.flags = 0;
}

}  // namespace

const PrefsState& prefs_state() {
  return state;
}

std::uintptr_t prefs_open(std::string_view name, int flags) {
  prefs_close();
  const std::string file_name(name);
  bool read_only = false;
  state.file = file_name.empty() ? nullptr : prefs_file_open(file_name.c_str(), &read_only);
  if (!state.file) {
    state.pending_name = file_name;
    return 0;
  }
  state.file_name = file_name;
  state.read_only_open = read_only ? 1 : 0;
  state.flags = flags;
  std::string contents;
  if (prefs_file_read(state.file, &contents)) {
    ParsedPrefs parsed = prefs_parse(contents);
    state.lines = std::move(parsed.lines);
    state.code_page = parsed.code_page;
  }
  state.last_written = state.lines.end();
  return reinterpret_cast<std::uintptr_t>(state.file);
}

std::uintptr_t prefs_create(std::string_view name, int flags) {
  prefs_close();
  const std::string file_name(name);
  state.file = file_name.empty() ? nullptr : prefs_file_create(file_name.c_str());
  if (!state.file) return 0;
  state.file_name = file_name;
  state.created = 1;
  state.flags = flags;
  state.last_written = state.lines.end();
  return reinterpret_cast<std::uintptr_t>(state.file);
}

std::int64_t prefs_read_int(std::string_view key, std::int64_t fallback) {
  if (!in_hand()) return fallback;
  auto line = find_key(key);
  return line == state.lines.end() ? fallback : read_decimal(line->text);
}

std::string prefs_read_string(std::string_view key, std::string_view fallback) {
  auto line = in_hand() ? find_key(key) : state.lines.end();
  if (line == state.lines.end()) return std::string(fallback);
  std::string_view value = line->text;
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  std::string text =
      state.code_page == PREFS_CODE_PAGE_UTF8 ? text_from_utf8(value) : std::string(value);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  return text;
}

void prefs_write_int(std::string_view key, std::int64_t value) {
  write_key(key, int_to_string(value));
}

void prefs_write_string(std::string_view key, std::string_view value) {
  write_key(key, to_file_text(value));
}

int prefs_write_comment(std::string_view text) {
  if (!in_hand()) return 0;
  try {
    auto after = state.last_written == state.lines.end() ? state.lines.begin()
                                                         : std::next(state.last_written);
    state.last_written =
        state.lines.insert(after, PrefsLine{PrefsTag::Comment, {}, to_file_text(text)});
    state.modified = 1;
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

bool prefs_close() {
  // Changes to a file opened read-only are discarded; a file that could not
  // be opened is created now. A created file is written even without
  // changes: its old text stayed on the disk until now, and goes.
  bool written = true;
  if ((state.modified || state.created) && !state.read_only_open)
    written = write_back(state.file ? state.file_name : state.pending_name);
  prefs_file_close(state.file);
  reset_state();
  return written;
}

void prefs_join_runtime() {
  runtime_join_shutdown(ShutdownStage::PrefsState, [] { prefs_close(); });
}
