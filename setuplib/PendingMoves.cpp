// DllMain's log lines and the pending moves of updated files.
#include "TessresActions.h"

#include "DebugLog.h"
#include "SystemInfo.h"
#include "WinHandles.h"

namespace tessaly {

void LogEntryReason(DWORD reason) {
  const std::wstring date = BuildDateText();
  const std::wstring time = BuildTimeText();
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DebugPrint(L"Tessres: Attaching DLL Process, BuildDate(%s, %s)\r\n", date, time);
      break;
    case DLL_PROCESS_DETACH:
      DebugPrint(L"Tessres: DeAttaching DLL Process, BuildDate(%s, %s)\r\n", date, time);
      break;
    case DLL_THREAD_ATTACH:
      DebugPrint(L"Tessres: Attaching DLL Thread, BuildDate(%s, %s)\r\n", date, time);
      break;
    case DLL_THREAD_DETACH:
      DebugPrint(L"Tessres: DeAttaching DLL Thread, BuildDate(%s, %s)\r\n", date, time);
      break;
    default:
      DebugPrint(L"Tessres: Default Call Reason(%d), BuildDate(%s, %s)\r\n", static_cast<int>(reason), date, time);
      break;
  }
}

void SchedulePendingMoves(const std::wstring& programFolder) {
  const std::wstring updated = programFolder + L"UpdatedFiles\\";
  WIN32_FIND_DATAW entry{};
  win::UniqueFind find(FindFirstFileW((updated + L"*").c_str(), &entry));
  if (!find) return;  // no folder: nothing waits
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring source = updated + entry.cFileName;
    const std::wstring destination = programFolder + entry.cFileName;
    if (MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
      DebugPrint(L"Tessres: File added for pending move: %s\r\n", source);
    } else {
      DebugPrint(L"Tessres: Unable add file for pending move: %s Last Error: %d\r\n", source,
                 static_cast<int>(GetLastError()));
    }
  } while (FindNextFileW(find.get(), &entry));
}

}  // namespace tessaly
