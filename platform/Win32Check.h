// One way to check a Win32 call: on failure the component's error object gets the call's name,
// the arguments that matter and the system's text for the error. Windows only.
//
//   if (!CheckWin32(error_, SetMenuItemInfoW(menu, id, FALSE, &info), L"SetMenuItemInfoW",
//                   FormatPrintf(L"id %u", id))) return;
#pragma once

#include "MvError.h"

#include <string_view>

namespace tessaly::win {

// Returns `succeeded`. When it is false, reports "<call>(<details>) failed: <system text> (<code>)"
// with the calling thread's last error, read before anything else can change it.
bool CheckWin32(MvError& error, bool succeeded, std::wstring_view call, std::wstring_view details = {});

// The same for calls that return a handle: null (or INVALID_HANDLE_VALUE where asked) is failure.
template <typename H>
H CheckedHandle(MvError& error, H handle, std::wstring_view call, std::wstring_view details = {}) {
  CheckWin32(error, handle != nullptr, call, details);
  return handle;
}

// For registry calls, which return the error code instead of setting the last error.
bool CheckRegistry(MvError& error, long status, std::wstring_view call, std::wstring_view details = {});

}  // namespace tessaly::win
