// The preference file on disk: opening with the platform's sharing rules and
// reading it whole. The handle keeps other writers out while the file is in
// hand; writing back replaces the file (see prefs.cpp).
#pragma once

#include <string>

struct PrefsFile;

// Opens an existing file for reading and writing (others may read); failing
// that, for reading only (*read_only set). Null when it cannot be opened.
PrefsFile* prefs_file_open(const char* name, bool* read_only);
// Creates (or replaces) the file for reading and writing. Null on failure.
PrefsFile* prefs_file_create(const char* name);
// The whole contents; false when reading fails.
bool prefs_file_read(PrefsFile* file, std::string* contents);
void prefs_file_close(PrefsFile* file);
