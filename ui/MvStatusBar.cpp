#include "MvStatusBar.h"

#include "Framework.h"
#include "model/ControlRegistry.h"

#include <commctrl.h>

namespace tessaly {

bool MvStatusBar::SetParts(const std::vector<int>& rightEdges) {
  if (!hwnd || rightEdges.empty()) return false;
  if (!SendMessageW(hwnd, SB_SETPARTS, rightEdges.size(), reinterpret_cast<LPARAM>(rightEdges.data()))) {
    FrameworkError().Report(L"MvStatusBar::SetParts(): SB_SETPARTS failed for %d parts", static_cast<int>(rightEdges.size()));
    return false;
  }
  return true;
}

bool MvStatusBar::SetPartText(int part, const wchar_t* partText) {
  if (!hwnd) return false;
  if (!SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(partText ? partText : L""))) {
    FrameworkError().Report(L"MvStatusBar::SetPartText(): SB_SETTEXTW failed for part %d", part);
    return false;
  }
  return true;
}

std::wstring MvStatusBar::GetPartText(int part) const {
  if (!hwnd) return {};
  const LRESULT length = LOWORD(SendMessageW(hwnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
  std::wstring result(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(result.data()));
  result.resize(static_cast<size_t>(length));
  return result;
}

MvStatusBar* CreateStatusBar() {
  MvChildWindow* main = MainWindow();
  if (!main) return nullptr;
  HWND window = CreateControlWindow(STATUSCLASSNAMEW, kStatusBarName, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, main->hwnd,
                                    kStatusBarName);
  if (!window) return nullptr;
  auto bar = std::make_unique<MvStatusBar>();
  bar->hwnd = window;
  bar->UpdateRect();
  MvControl* registered = main->Register(kTagStatusBar, std::move(bar));
  if (!registered) DestroyWindow(window);
  return static_cast<MvStatusBar*>(registered);
}

MvStatusBar* FindStatusBar() {
  MvChildWindow* main = MainWindow();
  if (!main) return nullptr;
  return static_cast<MvStatusBar*>(main->FindControl(kTagStatusBar, kStatusBarName));
}

}  // namespace tessaly
