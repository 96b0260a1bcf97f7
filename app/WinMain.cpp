// Entry of Tessaly.exe.
#include "Startup.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return tessaly::RunTessaly(instance, commandLine);
}
