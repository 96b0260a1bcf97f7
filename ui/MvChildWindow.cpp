#include "MvChildWindow.h"

#include "DebugLog.h"
#include "Framework.h"
#include "MvComboBox.h"
#include "MvTabControl.h"
#include "Win32Check.h"
#include "model/ControlRegistry.h"
#include "model/IdCodes.h"
#include "model/Placement.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <exception>

namespace tessaly {
namespace {

void* Payload(LPARAM value) { return reinterpret_cast<void*>(value); }

// Explorer broadcasts this when its notification area was (re)built.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

LRESULT DestroyWithoutObject(UINT message) {
  DebugPrint(L"MvChildWindow Received Quit/Destroy message(%d)\r\n", static_cast<int>(message));
  PostQuitMessage(0);
  return 1;
}

}  // namespace

MvChildWindow::MvChildWindow(std::wstring windowName) : MvControl(std::move(windowName), ControlKind::ChildWindow) {
  events.SetNamespace(L"{NS:" + name + L"}");
  icon = LoadIconW(nullptr, IDI_EXCLAMATION);
  smallIcon = icon;
  cursor = LoadCursorW(nullptr, IDC_ARROW);
}

MvChildWindow::~MvChildWindow() {
  if (hwnd && IsWindow(hwnd)) {
    // The object is going: the window must not reach it while it is destroyed.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    win::CheckWin32(error, DestroyWindow(hwnd), L"DestroyWindow", name);
    hwnd = nullptr;
  }
  if (classRegistered_) win::CheckWin32(error, UnregisterClassW(className.c_str(), instance), L"UnregisterClassW", className);
}

void MvChildWindow::SetBackgroundColour(COLORREF colour) {
  HBRUSH brush = win::CheckedHandle(error, CreateSolidBrush(colour), L"CreateSolidBrush", name);
  if (!brush) return;
  ownedBackground_.reset(brush);
  background = brush;
}

bool MvChildWindow::Create(HWND parent, int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight, DWORD windowStyle) {
  if (className.empty()) className = FormatPrintf(L"MvChildWindow_%08x", reinterpret_cast<uintptr_t>(this));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hIconSm = smallIcon;
  windowClass.hCursor = cursor;
  windowClass.hbrBackground = background;
  windowClass.lpszMenuName = menuName;
  windowClass.lpszClassName = className.c_str();
  if (!win::CheckWin32(error, RegisterClassExW(&windowClass) != 0, L"RegisterClassExW", className)) return false;
  classRegistered_ = true;

  if (parent && newX < 0) {
    RECT parentRect{};
    if (win::CheckWin32(error, GetWindowRect(parent, &parentRect), L"GetWindowRect", L"parent of " + name)) {
      const Point corner = CentreInParent(parentRect.right - parentRect.left, parentRect.bottom - parentRect.top,
                                          newWidth, newHeight);
      newX = corner.x;
      newY = corner.y;
    }
  }
  HWND created = CreateWindowExW(0, className.c_str(), name.c_str(), windowStyle, newX, newY, newWidth, newHeight,
                                 parent, nullptr, instance, this);
  if (!created) {
    const DWORD code = ::GetLastError();
    win::CheckWin32(error, false, L"CreateWindowExW", className);
    SetLastError(code);  // the caller reads it
    return false;
  }
  hwnd = created;
  x = newX;
  y = newY;
  width = newWidth;
  height = newHeight;
  if (windowStyle & WS_VISIBLE) {
    ShowWindow(hwnd, SW_SHOW);
    win::CheckWin32(error, UpdateWindow(hwnd), L"UpdateWindow", name);
  } else {
    visible = 0;
  }
  return true;
}

MvControl* MvChildWindow::Register(const wchar_t* kindTag, std::unique_ptr<MvControl> control) {
  if (!kindTag || !control) return nullptr;
  MvControl* raw = control.get();
  const std::wstring key = RegistryKey(kindTag, raw->name);
  if (!children.Add(key.c_str(), raw, true)) {
    error.Report(L"MvChildWindow::Register(): could not enter %s", key);
    return nullptr;
  }
  owned_.push_back(std::move(control));
  return raw;
}

MvControl* MvChildWindow::FindControl(const wchar_t* kindTag, std::wstring_view controlName) const {
  if (!kindTag) return nullptr;
  return static_cast<MvControl*>(FindRegistered(children, kindTag, controlName));
}

MvControl* MvChildWindow::FindControlByHandle(HWND handle) const {
  MvControl* found = nullptr;
  if (!handle) return nullptr;
  WalkRegistry(children, [&](const MvListEntry& entry) {
    auto* control = static_cast<MvControl*>(entry.value);
    if (control->hwnd != handle) return true;
    found = control;
    return false;
  });
  return found;
}

LRESULT CALLBACK MvChildWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (create && create->lpCreateParams) {
      auto* object = static_cast<MvChildWindow*>(create->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
      object->hwnd = window;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* object = reinterpret_cast<MvChildWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!object) {
    if (message == WM_DESTROY || message == WM_QUIT) return DestroyWithoutObject(message);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    object->hwnd = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return object->HandleMessage(window, message, wParam, lParam);
  } catch (const std::exception& failure) {
    object->error.Report(L"MvChildWindow::WindowProc(%s): message %u failed: %s", object->name,
                         static_cast<unsigned>(message), std::wstring(failure.what(), failure.what() + strlen(failure.what())));
  } catch (...) {
    object->error.Report(L"MvChildWindow::WindowProc(%s): message %u failed", object->name, static_cast<unsigned>(message));
  }
  if (message == WM_DESTROY || message == WM_QUIT) return DestroyWithoutObject(message);
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MvChildWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT client{};
      if (win::CheckWin32(error, GetClientRect(window, &client), L"GetClientRect", name)) {
        width = client.right - client.left;
        height = client.bottom - client.top;
      }
      const auto address = reinterpret_cast<uintptr_t>(this);
      DebugPrint(L"Begin, Accessing WM_CREATE for event handlers, %08x\r\n", address);
      events.ExecuteAll_StringEventProcs(kEventWmCreate, L"WM_CREATE");
      DebugPrint(L"End, Accessed WM_CREATE for event handlers, %08x\r\n", address);
      return 0;
    }
    case WM_DESTROY:
    case WM_QUIT:
      DebugPrint(L"MvChildWindow Received Quit/Destroy message(%d)\r\n", static_cast<int>(message));
      DebugPrint(L"MvChildWindow sending Quit/Destroy message(%d) to Parent(%s)\r\n", static_cast<int>(message), name);
      events.ExecuteAll_StringEventProcs(kEventWmDestroy, L"WM_DESTROY");
      PostQuitMessage(0);
      return 1;
    case WM_MOVE:
      // Signed: a window left of or above its parent's origin has negative coordinates.
      x = GET_X_LPARAM(lParam);
      y = GET_Y_LPARAM(lParam);
      events.ExecuteAll_BinaryEventProcs(kEventWmMove, Payload(lParam));
      break;
    case WM_SIZE:
      events.ExecuteAll_BinaryEventProcs(kEventWmSize, Payload(lParam));
      break;
    case WM_SIZING:
      events.ExecuteAll_BinaryEventProcs(kEventWmSizing, Payload(lParam));
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      if (BeginPaint(window, &paint)) {
        events.ExecuteAll_BinaryEventProcs(kEventWmPaint, &paint);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case WM_CLOSE:
      return events.ExecuteAll_BinaryEventProcs(kEventWmClose, const_cast<wchar_t*>(L"WM_CLOSE"));
    case WM_COPYDATA:
      events.ExecuteAll_BinaryEventProcs(kEventWmCopyData, Payload(lParam));
      return 1;
    case WM_SYSCOMMAND: {
      const WPARAM command = wParam & 0xFFF0;  // the low four bits are the system's own
      if (command == SC_MINIMIZE || command == SC_MAXIMIZE) {
        RECT rect{};
        win::CheckWin32(error, GetWindowRect(window, &rect), L"GetWindowRect", name);
        events.ExecuteAll_BinaryEventProcs(command == SC_MINIMIZE ? kEventScMinimize : kEventScMaximize, &rect);
      }
      break;
    }
    case WM_VSCROLL: {
      VerticalScrollPayload scroll{wParam, lParam};
      events.ExecuteAll_BinaryEventProcs(kEventVerticalScroll, &scroll);
      break;
    }
    case WM_COMMAND:
      return OnCommand(window, wParam, lParam);
    case WM_NOTIFY:
      return OnNotify(window, wParam, lParam);
    case WM_CTLCOLORSTATIC:
      if (MvControl* control = FindControlByHandle(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = control->OnCtlColorStatic(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case kSystrayCallbackMessage:
      if (lParam == WM_LBUTTONDBLCLK) {
        events.ExecuteAll_StringEventProcs(kEventSystrayLButtonDblClk, L"WM_LBUTTONDBLCLK");
      } else if (lParam == WM_RBUTTONUP) {
        events.ExecuteAll_StringEventProcs(kEventSystrayRButtonUp, L"WM_RBUTTONUP");
      }
      break;
    default:
      if (message == TaskbarCreatedMessage() && message != 0) {
        events.ExecuteAll_StringEventProcs(kEventTaskbarCreated, L"TaskbarCreated");
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MvChildWindow::OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto command = static_cast<int32_t>(LOWORD(wParam));
  if (lParam == 0) {  // menu or accelerator: the localised menu keeps the string ID as item data
    const wchar_t* commandName = nullptr;
    if (HMENU menu = GetMenu(window)) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_ID | MIIM_DATA;
      if (GetMenuItemInfoW(menu, static_cast<UINT>(command), FALSE, &info) && info.dwItemData) {
        commandName = reinterpret_cast<const wchar_t*>(info.dwItemData);
      }
    }
    if (!commandName) commandName = IdCodeName(idCodes, command);
    events.ExecuteAll_StringEventProcs(kEventMenuItemClicked, commandName);
    return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
  }
  if (HIWORD(wParam) == CBN_SELCHANGE) {
    MvControl* control = FindControlByHandle(reinterpret_cast<HWND>(lParam));
    if (control && control->Kind() == ControlKind::ComboBox) {
      auto* combo = static_cast<MvComboBox*>(control);
      combo->events.ExecuteAll_StringEventProcs(kEventCbnSelChanged, combo->GetSelected());
      return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
  }
  events.ExecuteAll_StringEventProcs(kEventMenuItemClicked, IdCodeName(idCodes, command));
  return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
}

LRESULT MvChildWindow::OnNotify(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  MvControl* control = header ? FindControlByHandle(header->hwndFrom) : nullptr;
  if (!control) return DefWindowProcW(window, WM_NOTIFY, wParam, lParam);
  const auto raiseBoth = [&](const wchar_t* eventName) {
    control->events.ExecuteAll_BinaryEventProcs(eventName, Payload(lParam));
    control->events.ExecuteAll_StringEventProcs(eventName, control->name.c_str());
  };
  switch (header->code) {
    case NM_CLICK:
      raiseBoth(kEventLvnClick);
      break;
    case NM_DBLCLK:
      raiseBoth(kEventLvnDblClick);
      break;
    case LVN_ITEMCHANGED:
      raiseBoth(kEventLvnItemChanged);
      break;
    case LVN_COLUMNCLICK:
      control->events.ExecuteAll_BinaryEventProcs(kEventLvnColumnClick, Payload(lParam));
      break;
    case NM_CUSTOMDRAW:
      return control->events.ExecuteAll_BinaryEventProcs(kEventCustomDraw, Payload(lParam));
    case TCN_SELCHANGING:
    case TCN_SELCHANGE:
      if (control->Kind() == ControlKind::TabControl) {
        auto* tab = static_cast<MvTabControl*>(control);
        const wchar_t* eventName = header->code == TCN_SELCHANGING ? kEventTcnSelChanging : kEventTcnSelChange;
        tab->events.ExecuteAll_BinaryEventProcs(eventName, tab);
        tab->events.ExecuteAll_StringEventProcs(eventName, tab->GetCurrentTabText());
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, WM_NOTIFY, wParam, lParam);
}

}  // namespace tessaly
