// The preference file on disk: opening with the platform's sharing rules,
// reading it whole and rewriting it through its own handle. The handle
// keeps other writers out while the file is in hand; writing back replaces
// the file (see prefs.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct PrefsFile;

// Opens an existing file for reading and writing (others may read); failing
// that, for reading only (*read_only set). Null when it cannot be opened.
PrefsFile* prefs_file_open(const char* name, bool* read_only);
// Opens the file for reading and writing (others may read), creating it
// when it does not exist; its old contents stay until it is written back.
// Null on failure.
PrefsFile* prefs_file_create(const char* name);
// The whole contents; false when reading fails.
bool prefs_file_read(PrefsFile* file, std::string* contents);
// The file's size in bytes; false when it cannot be told.
bool prefs_file_size(PrefsFile* file, std::uint64_t* size);
// Writes all of `bytes` at `offset`; false when any of it was not written.
bool prefs_file_write_at(PrefsFile* file, std::uint64_t offset, std::string_view bytes);
// Ends the file at `size` and flushes it to the disk.
bool prefs_file_cut(PrefsFile* file, std::uint64_t size);
void prefs_file_close(PrefsFile* file);
