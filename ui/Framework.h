// Process-level parts of the window framework: the main window, command identifiers, groups, the
// message loop and message boxes. All of it runs on the user-interface thread.
#pragma once

#include "MvChildWindow.h"
#include "model/DpiScale.h"

#include <windows.h>

namespace tessaly {

// The program's main window (set at start-up); every create and find operation reaches it here.
MvChildWindow* MainWindow();
void SetMainWindow(MvChildWindow* window);

// The framework's own error object, for controls (which have none of their own).
MvError& FrameworkError();

// Style extraStyle + WS_POPUP (popup) or WS_CHILD, + WS_VISIBLE, parent the main window; a solid
// background of colour when colour is non-zero; a negative x centres it. Entered as
// "[CHILDWINDOW]" + name in the main window. Null on failure.
MvChildWindow* CreateChildWindow(bool popup, const wchar_t* name, int32_t x, int32_t y, int32_t width, int32_t height,
                                 DWORD extraStyle, COLORREF colour);
MvChildWindow* FindChildWindow(const wchar_t* name);

// The main window's number for name (5002 for the first name of the process), 0 without a main
// window.
int32_t GetUniqueIdCode(const wchar_t* name);

// Shows (show is a ShowWindow command, 0 hides) every button, child window, list view, tab control
// and label of the main window's registry one of whose group names begins with group; raises
// "EVENT_UICONTROL_SHOW" on each.
void ShowGroup(int show, const wchar_t* group);

// GetMessageW / TranslateMessage / DispatchMessageW until WM_QUIT (or a GetMessage failure, which
// is reported through the main window's error). The wParam of WM_QUIT.
int RunMessageLoop();

// MessageBoxW owned by the main window.
int ShowMessage(const wchar_t* messageText, const wchar_t* caption, UINT type);

// CreateWindowExW of a control window (no extended style, control id 0, the program's instance);
// a failure is reported with what. Null on failure.
HWND CreateControlWindow(const wchar_t* windowClass, const wchar_t* title, DWORD style, int32_t x, int32_t y,
                         int32_t width, int32_t height, HWND parent, std::wstring_view what);

// The system DPI (LOGPIXELSY of the screen), read once.
DpiScale SystemDpiScale();

}  // namespace tessaly
