// The status bar at the bottom of the main window.
#pragma once

#include "MvControl.h"

#include <windows.h>

#include <vector>

namespace tessaly {

inline constexpr const wchar_t* kStatusBarName = L"IDC_BOTTOM_STATUSBAR";

class MvStatusBar : public MvControl {
 public:
  MvStatusBar() : MvControl(kStatusBarName, ControlKind::StatusBar) {}

  // SB_SETPARTS with these right edges (-1 reaches the right border).
  bool SetParts(const std::vector<int>& rightEdges);
  // SB_SETTEXTW of part.
  bool SetPartText(int part, const wchar_t* partText);
  std::wstring GetPartText(int part) const;
};

// "msctls_statusbar32" named "IDC_BOTTOM_STATUSBAR", WS_CHILD|WS_VISIBLE, size 0, then UpdateRect;
// "[STATUSBAR]IDC_BOTTOM_STATUSBAR" in the main window.
MvStatusBar* CreateStatusBar();
MvStatusBar* FindStatusBar();

}  // namespace tessaly
