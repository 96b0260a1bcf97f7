// The error object each component owns: reports go to the debug log as
// "(ERROR hh:mm:ss) message\r\n", serialised per object.
#pragma once

#include "DebugLog.h"

#include <mutex>
#include <string>

namespace tessaly {

// Longest error message in characters, the terminating zero included.
inline constexpr size_t kErrorMessageCapacity = 8192;

class MvError {
 public:
  template <typename... Args>
  void Report(std::wstring_view format, const Args&... args) {
    std::lock_guard guard(lock_);
    std::wstring message = sizeof...(Args) == 0 ? std::wstring(format) : FormatPrintf(format, args...);
    if (message.size() > kErrorMessageCapacity - 1) message.resize(kErrorMessageCapacity - 1);
    WriteReport(message);
  }

  // The system's text for the calling thread's last error. Valid until the next call anywhere
  // in the process.
  static const wchar_t* GetLastError();

 private:
  static void WriteReport(const std::wstring& message);
  std::mutex lock_;
};

}  // namespace tessaly
