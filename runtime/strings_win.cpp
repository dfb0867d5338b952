// Lower-casing by the platform's ANSI code page.
#include "runtime/strings.h"

#include <windows.h>

unsigned char ansi_lower(unsigned char c) {
  char buffer[1] = {static_cast<char>(c)};
  CharLowerBuffA(buffer, 1);
  return static_cast<unsigned char>(buffer[0]);
}
