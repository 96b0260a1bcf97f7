#include "TrayIcon.h"

#include "Startup.h"
#include "Win32Check.h"

#include <algorithm>
#include <cwchar>

namespace tessaly {

TrayIcon::TrayIcon(HWND window, UINT id, UINT callbackMessage, win::UniqueIcon icon, std::wstring_view tip)
    : icon_(std::move(icon)) {
  // The whole structure, so that the info fields NIF_INFO names are there on every Windows.
  data_.cbSize = sizeof data_;
  data_.hWnd = window;
  data_.uID = id;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon = icon_.get();
  // The first version's tip holds 64 characters, the terminating zero included.
  const size_t length = std::min<size_t>(tip.size(), 63);
  std::wmemcpy(data_.szTip, tip.data(), length);
  data_.szTip[length] = L'\0';
}

TrayIcon::~TrayIcon() { Remove(); }

bool TrayIcon::Add() {
  shown_ = win::CheckWin32(AppError(), Shell_NotifyIconW(NIM_ADD, &data_) != FALSE, L"Shell_NotifyIconW", L"NIM_ADD");
  return shown_;
}

bool TrayIcon::Readd() {
  if (!shown_) return false;
  if (Shell_NotifyIconW(NIM_ADD, &data_)) return true;
  // The message can come while the icon is still there: then it stays.
  shown_ = win::CheckWin32(AppError(), Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE, L"Shell_NotifyIconW",
                           L"NIM_ADD again");
  return shown_;
}

void TrayIcon::Remove() {
  if (!shown_) return;
  shown_ = false;
  NOTIFYICONDATAW remove{};
  remove.cbSize = sizeof remove;
  remove.hWnd = data_.hWnd;
  remove.uID = data_.uID;
  Shell_NotifyIconW(NIM_DELETE, &remove);  // fails harmlessly when Explorer already dropped it
}

}  // namespace tessaly
