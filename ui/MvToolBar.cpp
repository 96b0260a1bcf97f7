#include "MvToolBar.h"

#include "Framework.h"
#include "Win32Check.h"
#include "model/ControlRegistry.h"

namespace tessaly {
namespace {

constexpr COLORREF kTransparentColour = RGB(255, 255, 255);

int AddImage(HIMAGELIST list, HBITMAP bitmap, const std::wstring& what) {
  const int index = ImageList_AddMasked(list, bitmap, kTransparentColour);
  if (index < 0) FrameworkError().Report(L"MvToolBar::AddButton(): ImageList_AddMasked failed for %s", what);
  return index;
}

}  // namespace

MvToolBar::~MvToolBar() {
  if (hwnd && IsWindow(hwnd)) {
    SendMessageW(hwnd, TB_SETIMAGELIST, 0, 0);
    SendMessageW(hwnd, TB_SETDISABLEDIMAGELIST, 0, 0);
  }
}

int ToolBarImageSize() { return SystemDpiScale().Scale(kToolBarImageSize); }

bool MvToolBar::InitImages() {
  if (!hwnd) return false;
  const DpiScale dpi = SystemDpiScale();
  const int side = ToolBarImageSize();
  if (!SendMessageW(hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(dpi.Scale(kToolBarBitmapWidth), side))) {
    FrameworkError().Report(L"MvToolBar::InitImages(): TB_SETBITMAPSIZE failed");
  }
  images.reset(win::CheckedHandle(FrameworkError(), ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 7, 2),
                                  L"ImageList_Create", L"toolbar images"));
  disabledImages.reset(win::CheckedHandle(FrameworkError(), ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 7, 2),
                                          L"ImageList_Create", L"disabled toolbar images"));
  if (!images || !disabledImages) return false;
  SendMessageW(hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  SendMessageW(hwnd, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages.get()));
  return true;
}

bool MvToolBar::AddButton(const wchar_t* buttonText, int command, HBITMAP bitmap, HBITMAP disabledBitmap, bool enable) {
  if (!hwnd) return false;
  SendMessageW(hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON button{};
  if (buttonText && *buttonText) {
    texts_.emplace_back(buttonText);
    button.idCommand = command;
    button.fsState = enable ? TBSTATE_ENABLED : 0;
    button.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(texts_.back().c_str());
    button.iBitmap = I_IMAGENONE;
    if (bitmap && images && disabledImages) {
      button.iBitmap = AddImage(images.get(), bitmap, texts_.back());
      // Both lists keep the same index per button; without a disabled bitmap the normal one serves.
      AddImage(disabledImages.get(), disabledBitmap ? disabledBitmap : bitmap, texts_.back());
      if (button.iBitmap < 0) button.iBitmap = I_IMAGENONE;
    }
  } else {
    button.fsStyle = BTNS_SEP;
  }
  button.dwData = reinterpret_cast<DWORD_PTR>(this);
  if (!SendMessageW(hwnd, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button))) {
    FrameworkError().Report(L"MvToolBar::AddButton(): TB_ADDBUTTONSW failed for %s", buttonText ? buttonText : L"(separator)");
    return false;
  }
  buttons.push_back(button);
  SendMessageW(hwnd, TB_AUTOSIZE, 0, 0);
  ++buttonCount;
  UpdateRect();
  return true;
}

bool MvToolBar::EnableButton(int command, bool enable) {
  return hwnd && SendMessageW(hwnd, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enable ? TRUE : FALSE, 0)) != 0;
}

bool MvToolBar::IsButtonEnabled(int command) const {
  return hwnd && SendMessageW(hwnd, TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0) != 0;
}

MvToolBar* CreateToolBar() {
  MvChildWindow* main = MainWindow();
  if (!main) return nullptr;
  HWND window = CreateControlWindow(TOOLBARCLASSNAMEW, kMainToolBarName,
                                    WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | TBSTYLE_LIST, 0, 0, 0, 0,
                                    main->hwnd, kMainToolBarName);
  if (!window) return nullptr;
  auto bar = std::make_unique<MvToolBar>();
  bar->hwnd = window;
  bar->UpdateRect();
  MvControl* registered = main->Register(kTagToolBar, std::move(bar));
  if (!registered) DestroyWindow(window);
  return static_cast<MvToolBar*>(registered);
}

MvToolBar* FindToolBar() {
  MvChildWindow* main = MainWindow();
  if (!main) return nullptr;
  return static_cast<MvToolBar*>(main->FindControl(kTagToolBar, kMainToolBarName));
}

}  // namespace tessaly
