#include "Console.h"

#include "TextConvert.h"

#include <windows.h>

#include <cstdio>
#include <io.h>

namespace tessaly {
namespace {

void (*interruptCallback)() = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type) {
  if (interruptCallback) interruptCallback();
  // Closing the console ends the process when this returns: give the scan a moment to stop and
  // the results a moment to be written.
  if (type == CTRL_CLOSE_EVENT) Sleep(3000);
  return TRUE;
}

bool Write(DWORD which, FILE* stream, const std::wstring& text) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    DWORD written = 0;
    return WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
  }
  std::string bytes = WideToUtf8(text);  // redirected: UTF-8
  const bool all = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  return std::fflush(stream) == 0 && all;
}

}  // namespace

bool StderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool StdoutIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

void InstallInterruptHandler(void (*onInterrupt)()) {
  interruptCallback = onInterrupt;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool WriteOut(const std::wstring& text) { return Write(STD_OUTPUT_HANDLE, stdout, text); }
void WriteErr(const std::wstring& text) { Write(STD_ERROR_HANDLE, stderr, text); }
bool FlushOut() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

}  // namespace tessaly
