// Moving a finished file over its target on the host build.
#include "runtime/replacing_file.h"

#include <cstdio>

bool file_move_over(const char* finished, const char* target) {
  if (std::rename(finished, target) == 0) return true;
  std::remove(finished);
  return false;
}
