// The "please wait" dialog of a P2P uninstall (template 138): it runs the program's uninstaller
// on a worker thread and ends when the attempt is over.
#pragma once

#include "UninstallCommand.h"

#include <windows.h>

#include <string>

namespace tessaly {

class SharedFolderMappings;
class StringTable;
struct ScanFile;

inline constexpr int kUninstallSucceeded = 0;
inline constexpr int kUninstallFailed = 5;

struct UninstallProgressRequest {
  ScanFile* file = nullptr;                        // the P2P program's record (with "P2PSIGNATURE")
  const SharedFolderMappings* mappings = nullptr;  // its "SETTINGS_UNINSTALLERMAPPINGS"
  UninstallStringReader uninstallString;           // the registry's uninstall entries
  std::wstring programFolder;                      // holds TessMon.exe; the batch file goes there
  StringTable* language = nullptr;                 // null means LanguageTable()
  HINSTANCE instance = nullptr;                    // holds template 138; null means the program
  DWORD settleMs = 1000;                           // the pauses around a run
};

// kUninstallSucceeded when the program's executable is gone after its uninstaller ran,
// kUninstallFailed otherwise (also when there was nothing to run). The dialog cannot be closed
// by the user: it ends with the attempt, and the worker has ended when this returns.
int RunUninstallProgressDialog(HWND owner, const UninstallProgressRequest& request);

}  // namespace tessaly
