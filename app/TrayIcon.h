// The notification-area icon of the main window: it owns its NOTIFYICONDATA and icon, can be added
// again when Explorer rebuilds the notification area ("TaskbarCreated"), and removes itself when
// it goes.
#pragma once

#include "WinHandles.h"

#include <windows.h>
#include <shellapi.h>

#include <string_view>

namespace tessaly {

class TrayIcon {
 public:
  // Nothing is shown until Add. The icon is owned.
  TrayIcon(HWND window, UINT id, UINT callbackMessage, win::UniqueIcon icon, std::wstring_view tip);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // NIM_ADD; true when the shell took the icon.
  bool Add();
  // Explorer restarted: the old icon is gone with its notification area, add it again (only when
  // it was shown and not removed since).
  bool Readd();
  // NIM_DELETE, once.
  void Remove();
  bool Shown() const { return shown_; }

 private:
  NOTIFYICONDATAW data_{};
  win::UniqueIcon icon_;
  bool shown_ = false;
};

}  // namespace tessaly
