// What the scanner needs of its console.
#pragma once

#include <string>

namespace tessaly {

// True when standard error / standard output is an interactive terminal.
bool StderrIsTerminal();
bool StdoutIsTerminal();
// Calls `onInterrupt` (from a signal or console-control context: it must only set a flag) on
// Ctrl-C, Ctrl-Break or the console being closed.
void InstallInterruptHandler(void (*onInterrupt)());
// Writes UTF-8 text to standard output / standard error (wide text on a Windows console).
// WriteOut is false when the text could not be written (a full disk, a closed pipe).
bool WriteOut(const std::wstring& text);
void WriteErr(const std::wstring& text);
// Flushes standard output; false when what was written could not all be delivered.
bool FlushOut();

}  // namespace tessaly
