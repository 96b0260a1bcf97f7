#include "AnsiCodePage.h"

#include "DebugLog.h"
#include "MvError.h"

#include <windows.h>

namespace tessaly {

std::wstring AnsiToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length <= 0 ||
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), length) != length) {
    DebugPrint(L"MultiByteToWideChar(CP_ACP, %d bytes) failed: %s\r\n", static_cast<int>(bytes.size()),
               MvError::GetLastError());
    return {};
  }
  return out;
}

std::string WideToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string out(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length <= 0 || WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                                         nullptr, nullptr) != length) {
    DebugPrint(L"WideCharToMultiByte(CP_ACP, %d characters) failed: %s\r\n", static_cast<int>(text.size()),
               MvError::GetLastError());
    return {};
  }
  return out;
}

}  // namespace tessaly
