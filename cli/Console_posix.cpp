#include "Console.h"

#include "TextConvert.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace tessaly {
namespace {

void (*interruptCallback)() = nullptr;

void OnSignal(int) {
  if (interruptCallback) interruptCallback();
}

}  // namespace

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }
bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void InstallInterruptHandler(void (*onInterrupt)()) {
  interruptCallback = onInterrupt;
  struct sigaction action{};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  // A closed pipe is reported as a failed write (and a non-zero exit), not by a silent death.
  signal(SIGPIPE, SIG_IGN);
}

bool WriteOut(const std::wstring& text) {
  std::string bytes = WideToNative(text);
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

bool FlushOut() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

void WriteErr(const std::wstring& text) {
  std::string bytes = WideToNative(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace tessaly
