// Uninstalling one P2P program found by the scan: the confirmation, the progress dialog with one
// offer to try again, the success message, and the removal of the media rows that belonged to
// the program. Used by the uninstall column of the P2P list and by the scan-done wizard.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessaly {

class MvListView;
class SettingsStore;
class SharedFolderMappings;
class StringTable;
struct ScanFile;

struct P2pUninstallSetup {
  StringTable* language = nullptr;                 // null means LanguageTable()
  const SharedFolderMappings* mappings = nullptr;  // the main window's uninstaller mappings
  SettingsStore* settings = nullptr;               // the registry (uninstall entries)
  std::wstring programFolder;                      // holds TessMon.exe; ends in a backslash
  // The lists whose rows of the program's shared files go after a success; empty means the main
  // window's "IDC_LISTVIEW_SHAREDMEDIA", "IDC_LISTVIEW_SHAREDIMAGES" and
  // "IDC_LISTVIEW_SHAREDOTHERFILES".
  std::vector<MvListView*> sharedLists;
  HINSTANCE instance = nullptr;  // holds templates 137 and 138; null means the program
  DWORD settleMs = 1000;         // the pauses around a run (tests shorten them)
};

// Runs the whole flow for p2pFile on the calling (user-interface) thread, owned by owner. True
// only when the program was uninstalled (its executable is gone); then its shared files' rows
// have left the lists. False when the user cancelled, declined the retry, or the uninstall
// failed: nothing else changed. The wizard calls it once per checked program, in list order.
bool RunP2PUninstall(HWND owner, ScanFile& p2pFile, const P2pUninstallSetup& setup);

}  // namespace tessaly
