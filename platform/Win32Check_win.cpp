#include "Win32Check.h"

#include <windows.h>

#include <string>

namespace tessaly::win {

namespace {

std::wstring SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::wstring text = length && buffer ? std::wstring(buffer, length) : L"unknown error";
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text;
}

void ReportFailure(MvError& error, DWORD code, std::wstring_view call, std::wstring_view details) {
  error.Report(L"%s(%s) failed: %s (%lu)", std::wstring(call), std::wstring(details), SystemText(code),
               static_cast<unsigned long>(code));
}

}  // namespace

bool CheckWin32(MvError& error, bool succeeded, std::wstring_view call, std::wstring_view details) {
  if (succeeded) return true;
  ReportFailure(error, ::GetLastError(), call, details);
  return false;
}

bool CheckRegistry(MvError& error, long status, std::wstring_view call, std::wstring_view details) {
  if (status == ERROR_SUCCESS) return true;
  ReportFailure(error, static_cast<DWORD>(status), call, details);
  return false;
}

}  // namespace tessaly::win
