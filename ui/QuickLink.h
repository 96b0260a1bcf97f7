// A static control of a dialog turned into a quick link: drawn in blue in its own font and sized
// to its text, the hand cursor over it, and a click that hands its text to the owner. The link
// keeps the control's own window procedure for everything it does not handle and puts it back
// when the control goes.
#pragma once

#include "MvError.h"

#include <windows.h>

#include <functional>
#include <string>

namespace tessaly {

class QuickLink {
 public:
  using ClickHandler = std::function<void(const std::wstring& text)>;

  // font and cursor stay owned by the caller and must outlive the control.
  QuickLink(HFONT font, HCURSOR cursor, ClickHandler onClick);
  ~QuickLink();
  QuickLink(const QuickLink&) = delete;
  QuickLink& operator=(const QuickLink&) = delete;

  // Subclasses the control (its GWLP_USERDATA then holds this object). False when it cannot.
  bool Attach(HWND control, MvError& error);
  HWND Control() const { return control_; }

 private:
  static LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Detach();

  HFONT font_;
  HCURSOR cursor_;
  ClickHandler onClick_;
  HWND control_ = nullptr;
  WNDPROC linkProc_ = nullptr;  // the control's own procedure
};

}  // namespace tessaly
