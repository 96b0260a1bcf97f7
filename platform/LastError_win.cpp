#include "LastError.h"

#include "DebugLog.h"

#include <windows.h>

namespace tessaly {

const wchar_t* LastErrorText() {
  // The process-wide slot owns the system's buffer until the next call.
  static wchar_t* slot = nullptr;
  static std::wstring fallback;
  if (slot) {
    LocalFree(slot);
    slot = nullptr;
  }
  DWORD code = ::GetLastError();
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0x0400,
                 reinterpret_cast<LPWSTR>(&slot), 0, nullptr);
  if (slot) return slot;
  fallback = FormatPrintf(L"***ErrorMsg Not Retriveable, Code(%d)***", static_cast<int>(code));
  return fallback.c_str();
}

}  // namespace tessaly
