#include "MvTabControl.h"

#include "Framework.h"
#include "model/ControlRegistry.h"

#include <commctrl.h>

#include <string>

namespace tessaly {

bool MvTabControl::AddTab(const wchar_t* tabCaption) {
  if (!hwnd) return false;
  std::wstring copy(tabCaption ? tabCaption : L"");
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = copy.data();
  const LRESULT index = SendMessageW(hwnd, TCM_INSERTITEMW, static_cast<WPARAM>(tabCount), reinterpret_cast<LPARAM>(&item));
  if (index < 0) {
    FrameworkError().Report(L"MvTabControl::AddTab(%s): TCM_INSERTITEMW failed for %s", name, copy);
    return false;
  }
  ++tabCount;
  return true;
}

const wchar_t* MvTabControl::GetCurrentTabText() {
  tabText[0] = L'\0';
  const int current = CurrentTab();
  if (current < 0) return tabText;
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = tabText;
  item.cchTextMax = static_cast<int>(kTabTextCapacity);
  if (!SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(&item))) {
    tabText[0] = L'\0';
  } else if (item.pszText != tabText) {  // the control may answer with a pointer of its own
    wcsncpy(tabText, item.pszText ? item.pszText : L"", kTabTextCapacity - 1);
  }
  tabText[kTabTextCapacity - 1] = L'\0';
  return tabText;
}

int MvTabControl::CurrentTab() const {
  return hwnd ? static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0)) : -1;
}

bool MvTabControl::SelectTab(int index) {
  return hwnd && SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0) != -1;
}

MvTabControl* CreateTabControl(int32_t x, int32_t y, int32_t width, const wchar_t* name) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  const int32_t height = SystemDpiScale().Scale(kTabControlHeight);
  HWND window = CreateControlWindow(WC_TABCONTROLW, name, WS_CHILD | WS_VISIBLE | TCS_FLATBUTTONS, x, y, width, height,
                                    main->hwnd, name);
  if (!window) return nullptr;
  auto tab = std::make_unique<MvTabControl>(name);
  tab->hwnd = window;
  tab->x = x;
  tab->y = y;
  tab->width = width;
  tab->height = height;
  MvControl* registered = main->Register(kTagTabControl, std::move(tab));
  if (!registered) DestroyWindow(window);
  return static_cast<MvTabControl*>(registered);
}

MvTabControl* FindTabControl(const wchar_t* name) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  return static_cast<MvTabControl*>(main->FindControl(kTagTabControl, name));
}

}  // namespace tessaly
