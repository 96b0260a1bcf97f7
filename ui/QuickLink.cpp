#include "QuickLink.h"

#include "TextConvert.h"
#include "WinHandles.h"
#include "Win32Check.h"

#include <exception>

namespace tessaly {
namespace {

constexpr COLORREF kLinkColour = RGB(0x00, 0x00, 0xFF);
constexpr int kLongestLinkText = 256;

std::wstring ControlText(HWND control) {
  wchar_t text[kLongestLinkText + 1] = {};
  GetWindowTextW(control, text, kLongestLinkText + 1);
  return text;
}

}  // namespace

QuickLink::QuickLink(HFONT font, HCURSOR cursor, ClickHandler onClick)
    : font_(font), cursor_(cursor), onClick_(std::move(onClick)) {}

QuickLink::~QuickLink() { Detach(); }

bool QuickLink::Attach(HWND control, MvError& error) {
  if (!control || control_) return false;
  control_ = control;
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetLastError(0);
  linkProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&QuickLink::LinkProc)));
  if (!linkProc_) {
    win::CheckWin32(error, false, L"SetWindowLongPtrW", L"GWLP_WNDPROC of a quick link");
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    control_ = nullptr;
    return false;
  }
  return true;
}

void QuickLink::Detach() {
  if (!control_ || !linkProc_) return;
  if (IsWindow(control_)) {
    SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(linkProc_));
    SetWindowLongPtrW(control_, GWLP_USERDATA, 0);
  }
  control_ = nullptr;
}

LRESULT CALLBACK QuickLink::LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<QuickLink*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->control_ != window) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Message(message, wParam, lParam);
  } catch (const std::exception&) {
  } catch (...) {
  }
  // A failure inside a handler leaves the message to the control's own procedure.
  return CallWindowProcW(self->linkProc_, window, message, wParam, lParam);
}

LRESULT QuickLink::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC own = linkProc_;
  HWND control = control_;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the dialog's background shows through the text
    case WM_SETCURSOR:
      // Answered here rather than on each mouse move: the class cursor would otherwise flicker
      // back between two moves.
      if (cursor_) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_LBUTTONUP:
      if (onClick_) onClick_(ControlText(control));
      return 0;
    case WM_NCDESTROY:
      Detach();
      break;
    default:
      break;
  }
  return CallWindowProcW(own, control, message, wParam, lParam);
}

void QuickLink::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(control_, &paint);
  if (!dc) return;
  const std::wstring text = ControlText(control_);
  {
    win::ScopedSelectObject selected(dc, font_);
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    RECT client{};
    GetClientRect(control_, &client);
    RECT measured = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_WORDBREAK);
    const int width = measured.right - measured.left, height = measured.bottom - measured.top;
    // Only a real change: an equal size would repaint for ever.
    if (width > 0 && height > 0 && (width != client.right || height != client.bottom)) {
      SetWindowPos(control_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, DT_WORDBREAK);
  }
  EndPaint(control_, &paint);
}

}  // namespace tessaly
