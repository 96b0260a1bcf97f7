#include "MvError.h"

#include "Clock.h"

namespace tessaly {

void MvError::WriteReport(const std::wstring& message) {
  SystemTime now = LocalTimeNow();
  DebugPrint(L"(ERROR %02d:%02d:%02d) %s\r\n", now.hour, now.minute, now.second, message);
}

}  // namespace tessaly
