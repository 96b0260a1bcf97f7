// The two halves of every dialog procedure of a dialog object run with DialogBoxParamW(..., this):
// finding the object (kept in DWLP_USER from WM_INITDIALOG on) and handling a message so that no
// exception reaches Windows. Windows only.
#pragma once

#include "MvError.h"
#include "TextConvert.h"

#include <windows.h>

#include <exception>

namespace tessaly::win {

// The object of window; null before WM_INITDIALOG has stored it (messages sent during creation).
template <typename Dialog>
Dialog* DialogObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  return reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
}

// handle()'s answer; a failure is reported under the dialog's name and the message counts as not
// handled.
template <typename Handle>
INT_PTR GuardedDialogMessage(MvError& error, const wchar_t* dialogName, UINT message, Handle&& handle) {
  try {
    return handle();
  } catch (const std::exception& failure) {
    error.Report(L"%s: message %u failed: %s", dialogName, message, AnsiToWide(failure.what()));
  } catch (...) {
    error.Report(L"%s: message %u failed", dialogName, message);
  }
  return FALSE;
}

}  // namespace tessaly::win
