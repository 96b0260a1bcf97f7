// A stand-in P2P program: it only waits, so a test can watch the blocker end it.
#include <windows.h>

int main() {
  Sleep(20000);
  return 7;
}
