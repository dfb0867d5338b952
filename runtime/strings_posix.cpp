// Lower-casing by the rules of Windows code page 1252 (Western European),
// the ANSI code page of the program's German users, for the host build.
#include "runtime/strings.h"

unsigned char ansi_lower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;  // S with caron
    case 0x8C:
      return 0x9C;  // OE
    case 0x8E:
      return 0x9E;  // Z with caron
    case 0x9F:
      return 0xFF;  // Y with diaeresis
    default:
      return c;
  }
}
