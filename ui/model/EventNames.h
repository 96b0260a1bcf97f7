// Names of the events the window framework raises, and their fixed payload texts.
#pragma once

namespace tessaly {

// Raised on a window's dispatcher by the framework window procedure.
inline constexpr const wchar_t* kEventWmCreate = L"EVENT_WM_CREATE";            // S "WM_CREATE"
inline constexpr const wchar_t* kEventWmDestroy = L"EVENT_WM_DESTROY";          // S "WM_DESTROY"
inline constexpr const wchar_t* kEventWmMove = L"EVENT_WM_MOVE";                // B lParam value
inline constexpr const wchar_t* kEventWmSize = L"EVENT_WM_SIZE";                // B lParam value
inline constexpr const wchar_t* kEventWmSizing = L"EVENT_WM_SIZING";            // B RECT*
inline constexpr const wchar_t* kEventWmPaint = L"EVENT_WM_PAINT";              // B PAINTSTRUCT*
inline constexpr const wchar_t* kEventWmClose = L"EVENT_WM_CLOSE";              // B "WM_CLOSE"; result returned
inline constexpr const wchar_t* kEventWmCopyData = L"EVENT_WM_COPYDATA";        // B COPYDATASTRUCT*
inline constexpr const wchar_t* kEventScMinimize = L"EVENT_SC_MINIMIZE";        // B RECT* (window rect)
inline constexpr const wchar_t* kEventScMaximize = L"EVENT_SC_MAXIMIZE";        // B RECT* (window rect)
inline constexpr const wchar_t* kEventVerticalScroll = L"EVENT_VERTICALSCROLL"; // B VerticalScrollPayload*
inline constexpr const wchar_t* kEventMenuItemClicked = L"EVENT_MENUITEM_CLICKED";  // S command name
inline constexpr const wchar_t* kEventSystrayLButtonDblClk = L"EVENT_SYSTRAY_LBUTTONDBLCLK";  // S
inline constexpr const wchar_t* kEventSystrayRButtonUp = L"EVENT_SYSTRAY_RBUTTONUP";          // S
// Raised when Explorer announces "TaskbarCreated" (its notification area was rebuilt), so the
// tray icon can be added again. S "TaskbarCreated".
inline constexpr const wchar_t* kEventTaskbarCreated = L"EVENT_TASKBARCREATED";

// Raised on the control concerned.
inline constexpr const wchar_t* kEventCbnSelChanged = L"EVENT_CBN_SELCHANGED";      // S selected text
inline constexpr const wchar_t* kEventLvnClick = L"EVENT_LVN_CLICK";                // B NMITEMACTIVATE*, S name
inline constexpr const wchar_t* kEventLvnDblClick = L"EVENT_LVN_DBLCLICK";          // B NMITEMACTIVATE*, S name
inline constexpr const wchar_t* kEventLvnItemChanged = L"EVENT_LVN_ITEMCHANGED";    // B NMLISTVIEW*, S name
inline constexpr const wchar_t* kEventLvnColumnClick = L"EVENT_LVN_COLUMNCLICK";    // B NMLISTVIEW*
inline constexpr const wchar_t* kEventCustomDraw = L"EVENT_CUSTOMDRAW";             // B NMLVCUSTOMDRAW*; result returned
inline constexpr const wchar_t* kEventTcnSelChanging = L"EVENT_TCN_SELCHANGING";    // B MvTabControl*, S tab left
inline constexpr const wchar_t* kEventTcnSelChange = L"EVENT_TCN_SELCHANGE";        // B MvTabControl*, S new tab
inline constexpr const wchar_t* kEventBtnPaint = L"EVENT_BTN_PAINT";                // B PAINTSTRUCT* (off-screen DC)
inline constexpr const wchar_t* kEventBtnClicked = L"EVENT_BTN_CLICKED";            // S "ButtonClicked"
inline constexpr const wchar_t* kEventUiControlShow = L"EVENT_UICONTROL_SHOW";      // B ShowWindow command

// The notification-area icon's callback message.
inline constexpr unsigned kSystrayCallbackMessage = 2001;

}  // namespace tessaly
