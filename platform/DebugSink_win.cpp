#include "DebugSink.h"

#include "DebugLog.h"

#include <windows.h>

namespace tessaly {

void DeliverDebugLine(const std::wstring& line) {
  // The viewer takes ANSI text with its terminating zero, by WM_COPYDATA, synchronously.
  char ansi[kDebugLineCapacity] = {};
  int written = WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  if (written == 0) {
    // Longer than the buffer after conversion: keep what fits.
    written = WideCharToMultiByte(CP_ACP, 0, line.c_str(), static_cast<int>(line.size()), ansi,
                                  sizeof ansi - 1, nullptr, nullptr);
    ansi[written > 0 ? written : 0] = '\0';
  }
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(strlen(ansi) + 1);
  data.lpData = ansi;
  HWND viewer = FindWindowW(nullptr, L"WDebug");
  if (viewer) SendMessageW(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace tessaly
