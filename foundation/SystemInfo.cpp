#include "SystemInfo.h"

#include "Clock.h"
#include "DebugLog.h"
#include "TextConvert.h"

#include <string>

namespace tessaly {

const wchar_t* ExceptionCodeName(uint32_t code) {
  switch (code) {
    case 0x80000001: return L"EXCEPTION_GUARD_PAGE";
    case 0x80000002: return L"EXCEPTION_DATATYPE_MISALIGNMENT";
    case 0x80000003: return L"EXCEPTION_BREAKPOINT";
    case 0x80000004: return L"EXCEPTION_SINGLE_STEP";
    case 0xC0000005: return L"EXCEPTION_ACCESS_VIOLATION";
    case 0xC0000006: return L"EXCEPTION_IN_PAGE_ERROR";
    case 0xC0000008: return L"EXCEPTION_INVALID_HANDLE";
    case 0xC000001D: return L"EXCEPTION_ILLEGAL_INSTRUCTION";
    case 0xC0000025: return L"EXCEPTION_NONCONTINUABLE_EXCEPTION";
    case 0xC0000026: return L"EXCEPTION_INVALID_DISPOSITION";
    case 0xC000008C: return L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED";
    case 0xC000008D: return L"EXCEPTION_FLT_DENORMAL_OPERAND";
    case 0xC000008E: return L"EXCEPTION_FLT_DIVIDE_BY_ZERO";
    case 0xC000008F: return L"EXCEPTION_FLT_INEXACT_RESULT";
    case 0xC0000090: return L"EXCEPTION_FLT_INVALID_OPERATION";
    case 0xC0000091: return L"EXCEPTION_FLT_OVERFLOW";
    case 0xC0000092: return L"EXCEPTION_FLT_STACK_CHECK";
    case 0xC0000093: return L"EXCEPTION_FLT_UNDERFLOW";
    case 0xC0000094: return L"EXCEPTION_INT_DIVIDE_BY_ZERO";
    case 0xC0000095: return L"EXCEPTION_INT_OVERFLOW";
    case 0xC0000096: return L"EXCEPTION_PRIV_INSTRUCTION";
    case 0xC00000FD: return L"EXCEPTION_STACK_OVERFLOW";
    case 0xC000013A: return L"CONTROL_C_EXIT";
    default: return L"{Unknown Exception Code}";
  }
}

const wchar_t* BuildTimeText() {
  static std::wstring buffer;
  buffer = AnsiToWide(__TIME__);
  return buffer.c_str();
}

const wchar_t* BuildDateText() {
  static std::wstring buffer;
  buffer = AnsiToWide(__DATE__);
  return buffer.c_str();
}

const wchar_t* CurrentDateText() {
  static std::wstring buffer;
  SystemTime now = LocalTimeNow();
  buffer = FormatPrintf(L"%02d-%02d-%04d", now.month, now.day, now.year);
  return buffer.c_str();
}

const wchar_t* CurrentTimeText() {
  static std::wstring buffer;
  SystemTime now = LocalTimeNow();
  buffer = FormatPrintf(L"%02d:%02d:%02d", now.hour, now.minute, now.second);
  return buffer.c_str();
}

}  // namespace tessaly
