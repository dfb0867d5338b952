// Stands in for a jhead.exe that hangs: it takes its arguments and never
// ends by itself (ten minutes).
#include <windows.h>

int main() {
  Sleep(600000);
  return 0;
}
