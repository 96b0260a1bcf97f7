// What the scanner needs of its console.
#pragma once

#include <string>

namespace tessaly {

// True when standard error is an interactive terminal.
bool StderrIsTerminal();
// Calls `onInterrupt` (from a signal or console-control context: it must only set a flag) on
// Ctrl-C, Ctrl-Break or the console being closed.
void InstallInterruptHandler(void (*onInterrupt)());
// Writes UTF-8 text to standard output / standard error (wide text on a Windows console).
void WriteOut(const std::wstring& text);
void WriteErr(const std::wstring& text);

}  // namespace tessaly
