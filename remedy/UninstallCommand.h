// P2P uninstaller commands: the mappings text, the four key forms, splitting a registry
// uninstall command into program and arguments, and the batch lines that run it (portable).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The uninstaller key for `programName` in the "SETTINGS_UNINSTALLERMAPPINGS" text (lines
// "name=key", CR LF separated; leading blanks of the name dropped; the part from "=" on must be
// longer than two characters). The name matches as a whole without regard to case; the first
// matching line wins. Empty when there is no usable entry.
std::optional<std::wstring> FindUninstallerKey(std::wstring_view mappings, std::wstring_view programName);

enum class UninstallKeyForm { kRegistry, kRegistryQuoted, kAlternatives, kFile };

// The form of a key, tested in the order "@", "?", "|", anything else.
UninstallKeyForm ClassifyUninstallKey(std::wstring_view key);

// The candidate file names of an alternatives key: each piece that ends at a "|"; what follows
// the last "|" is not a candidate.
std::vector<std::wstring> UninstallCandidates(std::wstring_view key);

// A command split into the program (paths with a drive letter between double quotes) and the
// arguments (each starting with its space). `ok` is false when the command names no program
// that can be run as it stands: too short, blanks only, a drive-letter path without "." (its end
// cannot be told) or an opening quote that never closes. Then both parts are empty and nothing
// may be run.
struct UninstallCommand {
  std::wstring program;
  std::wstring arguments;
  bool ok = false;
};
UninstallCommand SplitUninstallCommand(std::wstring_view command);

// The subkey name of a registry key: the key without its first character.
std::wstring UninstallSubkeyName(std::wstring_view key);

// The program of a "?" registry value: the text between its first pair of double quotes, or
// empty when there is no such pair (nothing is then run).
std::wstring QuotedUninstallProgram(std::wstring_view value);

// One batch line (without line end) that runs `program` with `arguments` and nothing else: the
// program is always between double quotes, "%" is doubled everywhere (cmd expands it even
// inside quotes), and outside quotes & | < > ^ ( ) are escaped with "^". Empty when a part
// holds a line break or a stray quote in the program, which cannot be made safe.
std::wstring BatchRunLine(std::wstring_view program, std::wstring_view arguments);

// The uninstaller a key names for the P2P program at exePath, ready to be run: `program` is a
// path between double quotes or a bare program name, `arguments` each begin with their space.
// `ok` is false, with the reason in `why`, whenever nothing may be run: no registry value, a
// value that cannot be split, no existing candidate file, or an exePath without a folder.
struct ResolvedUninstaller {
  std::wstring program;
  std::wstring arguments;
  bool ok = false;
  std::wstring why;
};
// uninstallString: the value "uninstallstring" of the uninstall entry with that subkey name.
using UninstallStringReader = std::function<std::optional<std::wstring>(const std::wstring& subkey)>;
using FileExists = std::function<bool(const std::wstring& path)>;
ResolvedUninstaller ResolveUninstaller(std::wstring_view exePath, std::wstring_view key,
                                       const UninstallStringReader& uninstallString, const FileExists& fileExists);

// The batch file name for a run: "<folder>tmpbat<n>.bat" (folder ends in a backslash).
std::wstring UninstallBatchPath(std::wstring_view folder, uint32_t counter);
// The counter after a run; 0xFFFFFFFF is never used.
uint32_t NextBatchCounter(uint32_t counter);

// TessMon.exe's command line: the monitor starts what follows its own name in a job and waits
// for all of it, so it is handed the command interpreter running the batch file (cmd's /s takes
// the outer quotes off, the inner ones keep a folder with "&" or "^" one word).
std::wstring MonitorCommandLine(std::wstring_view commandInterpreter, std::wstring_view batchPath);

}  // namespace tessaly
