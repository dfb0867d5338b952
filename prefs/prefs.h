// Preference files: one process-wide file of key lines, comments and groups,
// read whole at open, edited in memory and written back in one piece at
// close. Keys are matched without regard to ASCII letter case; the first of
// two equal keys wins. Reads and writes address the keys ahead of the first
// group header. Used from one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "prefs/prefs_text.h"

// Opens (and parses) an existing file; 0 when it cannot be opened, in which
// case reads give their defaults and writes create the file at close.
std::uintptr_t prefs_open(std::string_view name, int flags = 0);
// Creates (replaces) the file, starting with no lines; 0 when it cannot be
// created. The old file stays on the disk until the close replaces it.
std::uintptr_t prefs_create(std::string_view name, int flags = 0);
std::int64_t prefs_read_int(std::string_view key, std::int64_t fallback);
std::string prefs_read_string(std::string_view key, std::string_view fallback);
void prefs_write_int(std::string_view key, std::int64_t value);
void prefs_write_string(std::string_view key, std::string_view value);
int prefs_write_comment(std::string_view text);
// Writes the file when anything was written (unless it was opened read-only).
// A created file is written even when nothing was written into it. The new
// text goes beside the file and replaces it in one step once it is
// complete: a write that fails (a full disk) leaves the old file as it was.
// Where the replacement is refused (another program holds the file, no new
// file can be made beside it) the text is written through the file itself,
// its growth first, so that a full disk still leaves the old file whole.
// False when the file was to be written and could not be.
bool prefs_close();

void prefs_join_runtime();
