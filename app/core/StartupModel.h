// Decisions of the program's start-up that need no window: the single-instance name, the
// command-line switches and the choice of the user-interface language.
#pragma once

#include <optional>
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

// The language every fallback ends at.
inline constexpr wchar_t kDefaultLanguageName[] = L"English(UK)";

// Display name for a language module of the older product ("GermanLang.dll" -> "German"),
// compared ignoring case; any other name gives "English(UK)".
std::wstring LanguageNameForModule(std::wstring_view moduleName);

// The display name to select: the user's "Language" value when it is longer than 3 characters;
// else the machine's "lang" module mapped by LanguageNameForModule when that is longer than 3
// characters; else "English(UK)". Absent values are nullopt.
std::wstring ChooseLanguageName(const std::optional<std::wstring>& userLanguage,
                                const std::optional<std::wstring>& languageModule);

}  // namespace tessaly
