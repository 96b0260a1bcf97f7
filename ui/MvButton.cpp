#include "MvButton.h"

#include "DebugLog.h"
#include "Framework.h"
#include "Win32Check.h"
#include "WinHandles.h"
#include "model/ControlRegistry.h"

#include <cstring>
#include <exception>

namespace tessaly {

MvButton::~MvButton() {
  if (hwnd && previousProc && IsWindow(hwnd)) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
  }
}

bool MvButton::Subclass() {
  if (!hwnd) return false;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetLastError(0);
  const LONG_PTR old = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
  if (!win::CheckWin32(FrameworkError(), old != 0, L"SetWindowLongPtrW", L"GWLP_WNDPROC of " + name)) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return false;
  }
  previousProc = reinterpret_cast<WNDPROC>(old);
  trackMouse.cbSize = sizeof trackMouse;
  trackMouse.dwFlags = TME_HOVER | TME_LEAVE;
  trackMouse.hwndTrack = hwnd;
  trackMouse.dwHoverTime = 1;
  win::CheckWin32(FrameworkError(), TrackMouseEvent(&trackMouse), L"TrackMouseEvent", name);
  return true;
}

LRESULT CALLBACK MvButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* button = reinterpret_cast<MvButton*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!button || !button->previousProc) return DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC previous = button->previousProc;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    button->hwnd = nullptr;
    return CallWindowProcW(previous, window, message, wParam, lParam);
  }
  try {
    return button->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& failure) {
    FrameworkError().Report(L"MvButton::SubclassProc(%s): message %u failed: %s", button->name,
                            static_cast<unsigned>(message),
                            std::wstring(failure.what(), failure.what() + strlen(failure.what())));
  } catch (...) {
    FrameworkError().Report(L"MvButton::SubclassProc(%s): message %u failed", button->name, static_cast<unsigned>(message));
  }
  if (message == WM_PAINT) {  // leave nothing invalid behind, or the paint would repeat forever
    ValidateRect(window, nullptr);
    return 0;
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT MvButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintOffScreen();
      return 1;
    case WM_MOUSEMOVE:
      hover = 1;
      Invalidate();
      win::CheckWin32(FrameworkError(), TrackMouseEvent(&trackMouse), L"TrackMouseEvent", name);
      break;
    case WM_LBUTTONDOWN:
      pressed = 1;
      Invalidate();
      break;
    case WM_LBUTTONUP:
      pressed = 0;
      Invalidate();
      events.ExecuteAll_StringEventProcs(kEventBtnClicked, L"ButtonClicked");
      break;
    case WM_MOUSELEAVE:
      hover = 0;
      Invalidate();
      break;
    default:
      break;
  }
  // The handler may have destroyed the button; hwnd is then null.
  HWND window = hwnd;
  if (!window) return 0;
  return CallWindowProcW(previousProc, window, message, wParam, lParam);
}

void MvButton::PaintOffScreen() {
  PAINTSTRUCT paint{};
  HDC windowDc = BeginPaint(hwnd, &paint);
  if (!win::CheckWin32(FrameworkError(), windowDc != nullptr, L"BeginPaint", name)) return;
  if (width > 0 && height > 0) {
    win::UniqueBitmap bitmap(win::CheckedHandle(FrameworkError(), CreateCompatibleBitmap(windowDc, width, height),
                                                L"CreateCompatibleBitmap", name));
    win::UniqueMemoryDc memoryDc(
        win::CheckedHandle(FrameworkError(), CreateCompatibleDC(windowDc), L"CreateCompatibleDC", name));
    if (bitmap && memoryDc) {
      {
        win::ScopedSelectObject selected(memoryDc.get(), bitmap.get());
        SetBkMode(memoryDc.get(), TRANSPARENT);
        PAINTSTRUCT offScreen = paint;
        offScreen.hdc = memoryDc.get();
        events.ExecuteAll_BinaryEventProcs(kEventBtnPaint, &offScreen);
        const RECT& area = paint.rcPaint;
        win::CheckWin32(FrameworkError(),
                        BitBlt(windowDc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                               memoryDc.get(), area.left, area.top, SRCCOPY),
                        L"BitBlt", name);
      }
    }
  }
  EndPaint(hwnd, &paint);
}

MvButton* CreateButton(MvChildWindow* parent, int32_t x, int32_t y, int32_t width, int32_t height, const wchar_t* name) {
  if (!parent || !name) return nullptr;
  HWND window = CreateControlWindow(L"BUTTON", name, WS_CHILD | WS_VISIBLE | BS_FLAT, x, y, width, height, parent->hwnd, name);
  if (!window) return nullptr;
  auto button = std::make_unique<MvButton>(name);
  button->hwnd = window;
  button->x = x;
  button->y = y;
  button->width = width;
  button->height = height;
  if (!button->Subclass()) {
    DestroyWindow(window);
    return nullptr;
  }
  MvButton* raw = button.get();
  if (!parent->Register(kTagButton, std::move(button))) {
    DestroyWindow(window);  // the wrapper is gone and gave the window its own procedure back
    return nullptr;
  }
  return raw;
}

MvButton* FindButton(const MvChildWindow* window, const wchar_t* name) {
  if (!window || !name) return nullptr;
  return static_cast<MvButton*>(window->FindControl(kTagButton, name));
}

MvButton* FindButton(const wchar_t* name) { return FindButton(MainWindow(), name); }

}  // namespace tessaly
