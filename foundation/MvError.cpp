#include "MvError.h"

#include "Clock.h"
#include "LastError.h"

namespace tessaly {

const wchar_t* MvError::GetLastError() { return LastErrorText(); }

void MvError::WriteReport(const std::wstring& message) {
  SystemTime now = LocalTimeNow();
  DebugPrint(L"(ERROR %02d:%02d:%02d) %s\r\n", now.hour, now.minute, now.second, message);
}

}  // namespace tessaly
