// Whole-file operations by name, directories, the current directory.
// Paths are ANSI strings, as long as the platform takes them (counted as
// the platform counts them: UTF-16 units, whatever their bytes, with the
// terminating zero): 260 characters, or 32,767 where Windows allows long
// paths (Windows 10 1607 and later with long paths enabled; the program
// declares in its manifest that it takes them). Every file operation, here
// and in runtime/file_io.h, refuses a longer path (the platform's error
// "file name too long") rather than act on a cut one, which could name a
// different file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr std::int64_t FILE_SIZE_MISSING = -1;
constexpr std::int64_t FILE_SIZE_DIRECTORY = -2;
constexpr std::size_t PATH_BUFFER_LENGTH = 260;
constexpr std::size_t LONG_PATH_LENGTH = 32767;

// Seam: whether the platform takes paths longer than PATH_BUFFER_LENGTH,
// asked once per process (as Windows decides it when a process starts).
bool long_paths_allowed();
// PATH_BUFFER_LENGTH, or LONG_PATH_LENGTH where long paths are allowed.
std::size_t path_length_limit();

std::int64_t file_size(std::string_view path);
int file_delete(std::string_view path);
// Overwrites an existing destination. The copy is an ordinary writable
// file, also of a read-only source.
int file_copy(std::string_view source, std::string_view destination);
// Moves, possibly to another directory; refuses to replace an existing name.
int file_rename(std::string_view old_name, std::string_view new_name);
// Creates the last level only; 0 when it exists or its parent is missing.
int directory_create(std::string_view path);
// Always ends with a backslash (a slash on the host build, which has no drives).
std::string directory_current();
int directory_set_current(std::string_view path);
// Moves `source` over `destination` in one step, replacing an existing file,
// and returns once the file's data and the move have reached the disk. Seen
// from anywhere, and after the process is killed at any moment, the
// destination is either the old file or the whole new one; on failure both
// stay as they were. A read-only destination is not replaced.
int file_replace(std::string_view source, std::string_view destination);
// The move of file_replace, for a source whose writer has already flushed
// its data and closed it (seam): refuses a read-only destination, moves in
// one step and waits until the new name is on the disk. A destination that
// another program holds open is retried for a moment before the move fails.
// The refusal of a read-only destination reads as access denied.
int file_move_over(std::string_view source, std::string_view destination);

// True when a new file can be made in the folder (a probe file is made and
// deleted again): false for a folder that is protected, read-only or gone.
bool directory_is_writable(std::string_view path);

// Seam: the platform's own words for why the last failed file operation of
// this thread failed ("Zugriff verweigert"), without a line end; empty when
// the platform gave no reason. Read it right after the failure; clear it
// before work that may fail without one (an encoder's own error).
std::string file_error_text();
void file_error_clear();
// file_error_text, or `otherwise` when the platform gave no reason.
std::string file_error_text_or(std::string otherwise);
// The platform's words for why `path` cannot be opened for reading; empty
// when it can.
std::string file_open_error(std::string_view path);

// Portable rules behind the operations.
// True when the path is within path_length_limit() (terminating zero
// included), counted in the platform's characters.
bool path_fits_platform(std::string_view path);
// A drive name ("C:" or "C:\"), given as its root ("C:\"); empty otherwise.
std::string drive_root_of(std::string_view path);
// Without trailing characters of `set`, never removing the first character.
std::string trim_trailing(std::string_view path, std::string_view set);
// A folder's path ending with its separator: a backslash is added unless a
// separator ends it already; the empty path stays empty.
std::string folder_path(std::string_view folder);
