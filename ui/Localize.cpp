#include "Localize.h"

#include "DebugLog.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "Win32Check.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace tessaly {
namespace {

// Menus nest a few levels at most; the bound only guards against a menu that contains itself.
constexpr int kMaxMenuDepth = 16;

void LocalizeMenuItems(StringTable& table, HMENU menu, int depth) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW lengthInfo{};
    lengthInfo.cbSize = sizeof lengthInfo;
    lengthInfo.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &lengthInfo)) {
      table.error.Report(L"Failed to GetMenuItemInfo.StringLength(%d), ErrCode(%s)", position, MvError::GetLastError());
      continue;
    }
    // The text is read through the ANSI call, as the old systems need; two bytes per character
    // leave room for a double-byte code page.
    std::vector<char> buffer((static_cast<size_t>(lengthInfo.cch) + 1) * 2, '\0');
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = buffer.data();
    info.cch = static_cast<UINT>(buffer.size());
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
      table.error.Report(L"Failed to GetMenuItemInfo.SubMenu, ErrCode(%s)", MvError::GetLastError());
      continue;
    }
    std::wstring id = AnsiToWide(std::string_view(buffer.data(), strnlen(buffer.data(), buffer.size())));
    if (!id.empty()) {
      const wchar_t* text = GetString(false, id.c_str(), table);
      const auto idCopy = reinterpret_cast<ULONG_PTR>(table.KeepText(id));
      if (IsWindowsVersion4()) {
        std::string ansi = WideToAnsi(text);
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING | MIIM_DATA;
        item.dwTypeData = ansi.data();
        item.dwItemData = idCopy;
        win::CheckWin32(table.error, SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item) != FALSE,
                        L"SetMenuItemInfoA", FormatPrintf(L"position %d", position));
      } else {
        std::wstring wide(text);
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING | MIIM_DATA;
        item.dwTypeData = wide.data();
        item.dwItemData = idCopy;
        win::CheckWin32(table.error, SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item) != FALSE,
                        L"SetMenuItemInfoW", FormatPrintf(L"position %d", position));
      }
    }
    if (info.hSubMenu && depth < kMaxMenuDepth) LocalizeMenuItems(table, info.hSubMenu, depth + 1);
  }
}

}  // namespace

bool LocalizeControl(const wchar_t* stringId, StringTable& table, HWND hwnd, int32_t controlId) {
  if (!stringId) stringId = L"";
  std::wstring name = FormatPrintf(L"%04x-%04x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(hwnd)),
                                   static_cast<unsigned>(controlId));
  table.AddBinding(name, ControlBinding{hwnd, controlId, stringId});
  const wchar_t* text = GetString(false, stringId, table);
  if (controlId < 0) return SetWindowTextW(hwnd, text) != 0;
  return SetDlgItemTextW(hwnd, controlId, text) != 0;
}

void LocalizeMenu(StringTable& table, HWND hwnd, HMENU menu) {
  HMENU target = menu ? menu : GetMenu(hwnd);
  if (target) LocalizeMenuItems(table, target, 0);
  // A window without a menu bar has nothing to redraw (and DrawMenuBar would fail for it).
  if (hwnd && GetMenu(hwnd)) {
    win::CheckWin32(table.error, DrawMenuBar(hwnd) != FALSE, L"DrawMenuBar",
                    FormatPrintf(L"window %p", static_cast<void*>(hwnd)));
  }
}

}  // namespace tessaly
