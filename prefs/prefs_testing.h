// The preference state behind the operations, for tests that look inside;
// the program itself never does.
#pragma once

#include <string>

#include "prefs/prefs_text.h"

struct PrefsFile;

struct PrefsState {
  PrefsFile* file;
  std::string file_name;     // the file in hand, which closing writes back
  std::string pending_name;  // kept when the open failed: writes create the file at close
  int modified;
  int read_only_open;
  int code_page;
  PrefsLines lines;
  PrefsLines::iterator last_written;  // lines.end() when none
  int flags;
  int created;  // made by prefs_create: closing writes it whole, even unchanged
};

const PrefsState& prefs_state();
