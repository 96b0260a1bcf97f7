// Tab control wrapper; its changes arrive as "EVENT_TCN_SELCHANGING" / "EVENT_TCN_SELCHANGE".
#pragma once

#include "MvControl.h"

#include <windows.h>

namespace tessaly {

inline constexpr int32_t kTabControlHeight = 30;  // 96-DPI units
inline constexpr size_t kTabTextCapacity = 256;

class MvTabControl : public MvControl {
 public:
  explicit MvTabControl(std::wstring name) : MvControl(std::move(name), ControlKind::TabControl) {}

  // TCM_INSERTITEMW at index tabCount; tabCount + 1 on success.
  bool AddTab(const wchar_t* tabCaption);
  // Caption of the current tab (at most 255 characters; empty when none), held in tabText.
  const wchar_t* GetCurrentTabText();
  // TCM_GETCURSEL / TCM_SETCURSEL (the latter raises no notification).
  int CurrentTab() const;
  bool SelectTab(int index);

  int32_t tabCount = 0;
  wchar_t tabText[kTabTextCapacity] = {};
};

// "SysTabControl32", WS_CHILD|WS_VISIBLE|TCS_FLATBUTTONS, 30 high (DPI-scaled); "[TABCONTROL]" +
// name in the main window.
MvTabControl* CreateTabControl(int32_t x, int32_t y, int32_t width, const wchar_t* name);
MvTabControl* FindTabControl(const wchar_t* name);

}  // namespace tessaly
