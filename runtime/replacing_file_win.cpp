// Moving a finished file over its target on Windows.
#include "runtime/replacing_file.h"

#include <windows.h>

bool file_move_over(const char* finished, const char* target) {
  // A rename on one volume: the target is replaced whole or not at all.
  if (MoveFileExA(finished, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(finished);
  return false;
}
