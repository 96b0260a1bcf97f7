// The debug log: every line goes to a viewer window titled "WDebug" if one is open (Windows), or to
// standard error when TESSALY_DEBUG is set (POSIX); otherwise it is dropped.
#pragma once

#include <fmt/printf.h>
#include <fmt/xchar.h>

#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

// Longest debug line in characters, the terminating zero included.
inline constexpr size_t kDebugLineCapacity = 2048;

// Hands one finished line to the viewer (no formatting, no line break added).
void DebugWrite(std::wstring_view line);

// Tests watch the log through this; the observer sees every line before delivery.
using DebugObserver = std::function<void(const std::wstring&)>;
void SetDebugObserver(DebugObserver observer);

// printf-style formatting of a wide format; a bad format is logged as it stands rather than lost.
template <typename... Args>
std::wstring FormatPrintf(std::wstring_view format, const Args&... args) {
  try {
    return fmt::sprintf(format, args...);
  } catch (const std::exception&) {
    return std::wstring(format);
  }
}

template <typename... Args>
void DebugPrint(std::wstring_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    DebugWrite(format);
  } else {
    DebugWrite(FormatPrintf(format, args...));
  }
}

}  // namespace tessaly
