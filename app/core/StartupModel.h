// Decisions of the program's start-up that need no window: the single-instance name and the
// command-line switches. (The language choice belongs to the settings module.)
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// Name of the single-instance mutex, the main window's class (how a second instance finds the
// first) and the updater's "MutexCode".
inline constexpr wchar_t kSingleInstanceName[] = L"Tessaly{348C3328-1E63-491a-8AD4-2A7B5E9D0971}";

// The start-up looks at no more of the command line than this (its buffer holds 512 characters,
// the terminating zero included).
inline constexpr size_t kCommandLineCapacity = 512;

// Exit codes of the program.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitFailed = -1;  // second instance, or no main window

struct StartupSwitches {
  bool silent = false;  // "-silent": no login, update or welcome dialog
  bool noShow = false;  // "-noshow": the same, and the main window starts hidden
  bool SkipDialogs() const { return silent || noShow; }
};

// The command line as the switches are searched in: its first 511 characters, lower-cased.
std::wstring LowerCommandLine(std::wstring_view commandLine);
// Switches are found by plain substring search anywhere in the lowered command line, so
// "-SILENT" and "x-noshowy" count.
StartupSwitches FindStartupSwitches(std::wstring_view commandLine);

}  // namespace tessaly
