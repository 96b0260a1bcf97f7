#include "Framework.h"

#include "DebugLog.h"
#include "Win32Check.h"
#include "WinHandles.h"
#include "model/ControlRegistry.h"
#include "model/IdCodes.h"

namespace tessaly {
namespace {

MvChildWindow* g_mainWindow = nullptr;
int32_t g_idCodeCounter = kIdCodeCounterStart;

}  // namespace

MvChildWindow* MainWindow() { return g_mainWindow; }
void SetMainWindow(MvChildWindow* window) { g_mainWindow = window; }

MvError& FrameworkError() {
  static MvError error;
  return error;
}

MvChildWindow* CreateChildWindow(bool popup, const wchar_t* name, int32_t x, int32_t y, int32_t width, int32_t height,
                                 DWORD extraStyle, COLORREF colour) {
  MvChildWindow* main = MainWindow();
  if (!main || !main->hwnd || !name) {
    FrameworkError().Report(L"CreateChildWindow(%s): no main window", name ? name : L"(null)");
    return nullptr;
  }
  auto window = std::make_unique<MvChildWindow>(name);
  if (colour) window->SetBackgroundColour(colour);
  const DWORD style = extraStyle | (popup ? WS_POPUP : WS_CHILD) | WS_VISIBLE;
  if (!window->Create(main->hwnd, x, y, width, height, style)) return nullptr;
  return static_cast<MvChildWindow*>(main->Register(kTagChildWindow, std::move(window)));
}

MvChildWindow* FindChildWindow(const wchar_t* name) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  return static_cast<MvChildWindow*>(main->FindControl(kTagChildWindow, name));
}

int32_t GetUniqueIdCode(const wchar_t* name) {
  MvChildWindow* main = MainWindow();
  if (!main) {
    FrameworkError().Report(L"GetUniqueIdCode(%s): no main window", name ? name : L"(null)");
    return 0;
  }
  return UniqueIdCode(main->idCodes, g_idCodeCounter, name);
}

void ShowGroup(int show, const wchar_t* group) {
  MvChildWindow* main = MainWindow();
  if (!main || !group) return;
  WalkRegistry(main->children, [&](const MvListEntry& entry) {
    auto* control = static_cast<MvControl*>(entry.value);
    if (!entry.name || !IsGroupShowable(*entry.name) || !InGroup(control->groups, group)) return true;
    if (show && control->hwnd) UpdateWindow(control->hwnd);
    control->Show(show);
    return true;
  });
}

int RunMessageLoop() {
  MSG message{};
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (got == -1) {
    const DWORD code = ::GetLastError();
    MvError& error = MainWindow() ? MainWindow()->error : FrameworkError();
    error.Report(L"Failed to GetMessage(), %d", static_cast<int>(code));
    return -1;
  }
  return static_cast<int>(message.wParam);
}

int ShowMessage(const wchar_t* messageText, const wchar_t* caption, UINT type) {
  HWND owner = MainWindow() ? MainWindow()->hwnd : nullptr;
  const int result = MessageBoxW(owner, messageText, caption, type);
  win::CheckWin32(FrameworkError(), result != 0, L"MessageBoxW");
  return result;
}

HWND CreateControlWindow(const wchar_t* windowClass, const wchar_t* title, DWORD style, int32_t x, int32_t y,
                         int32_t width, int32_t height, HWND parent, std::wstring_view what) {
  if (!parent) {
    FrameworkError().Report(L"CreateControlWindow(%s): no parent window", std::wstring(what));
    return nullptr;
  }
  return win::CheckedHandle(FrameworkError(),
                            CreateWindowExW(0, windowClass, title, style, x, y, width, height, parent, nullptr,
                                            GetModuleHandleW(nullptr), nullptr),
                            L"CreateWindowExW", std::wstring(windowClass) + L" " + std::wstring(what));
}

DpiScale SystemDpiScale() {
  static const DpiScale scale = [] {
    win::ScopedGetDC screen(nullptr);
    if (!win::CheckWin32(FrameworkError(), static_cast<bool>(screen), L"GetDC", L"screen")) return DpiScale();
    return DpiScale(GetDeviceCaps(screen.get(), LOGPIXELSY));
  }();
  return scale;
}

}  // namespace tessaly
