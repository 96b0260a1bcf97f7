// The main toolbar: text buttons with normal and disabled images, numbered by GetUniqueIdCode.
#pragma once

#include "MvControl.h"
#include "WinHandles.h"

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <string>
#include <vector>

namespace tessaly {

inline constexpr const wchar_t* kMainToolBarName = L"IDC_MAINTOOLBAR";
inline constexpr int32_t kToolBarImageSize = 32;     // 96-DPI units, square
inline constexpr int32_t kToolBarBitmapWidth = 82;   // TB_SETBITMAPSIZE width (96-DPI units)

class MvToolBar : public MvControl {
 public:
  MvToolBar() : MvControl(kMainToolBarName, ControlKind::ToolBar) {}
  ~MvToolBar() override;  // detaches the image lists from a toolbar that still exists

  // TB_SETBITMAPSIZE and the two image lists (images of the DPI-scaled 32-pixel size: bitmaps
  // given to AddButton must be that size, see ToolBarImageSize).
  bool InitImages();
  // With text: a button of that command, enabled or not, with the bitmaps added to the image lists
  // (white is transparent) or no image when bitmap is null. Without text (null or empty): a
  // separator. The bitmaps stay the caller's.
  bool AddButton(const wchar_t* buttonText, int command, HBITMAP bitmap, HBITMAP disabledBitmap, bool enable);
  // TB_ENABLEBUTTON.
  bool EnableButton(int command, bool enable);
  bool IsButtonEnabled(int command) const;

  std::vector<TBBUTTON> buttons;
  int32_t buttonCount = 0;
  win::UniqueImageList images;
  win::UniqueImageList disabledImages;

 private:
  std::deque<std::wstring> texts_;  // the strings the buttons point at
};

// Size of the toolbar's images at the system DPI.
int ToolBarImageSize();

// "ToolbarWindow32" named "IDC_MAINTOOLBAR", WS_CHILD|WS_VISIBLE|TBSTYLE_TOOLTIPS|TBSTYLE_FLAT|
// TBSTYLE_LIST, then UpdateRect; "[TOOLBAR]IDC_MAINTOOLBAR" in the main window.
MvToolBar* CreateToolBar();
MvToolBar* FindToolBar();

}  // namespace tessaly
