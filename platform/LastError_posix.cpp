#include "LastError.h"

#include "DebugLog.h"
#include "TextConvert.h"

#include <cerrno>
#include <cstring>

namespace tessaly {

const wchar_t* LastErrorText() {
  static std::wstring slot;
  int code = errno;
  char buffer[256] = {};
  const char* text = strerror_r(code, buffer, sizeof buffer);
  slot = text && *text ? Utf8ToWide(text) + L"\r\n"
                       : FormatPrintf(L"***ErrorMsg Not Retriveable, Code(%d)***", code);
  return slot.c_str();
}

}  // namespace tessaly
