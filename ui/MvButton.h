// A push button subclassed by the framework: it paints off-screen through "EVENT_BTN_PAINT",
// tracks hover and press, and raises "EVENT_BTN_CLICKED" on button up.
#pragma once

#include "MvControl.h"

#include <windows.h>

namespace tessaly {

class MvChildWindow;

class MvButton : public MvControl {
 public:
  explicit MvButton(std::wstring name) : MvControl(std::move(name), ControlKind::Button) {}
  ~MvButton() override;  // gives the window its own procedure back if it still exists

  // Stores the object, replaces the window procedure and arms mouse tracking.
  bool Subclass();
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  uint32_t hover = 0;    // 1 while the mouse is over the button
  uint32_t pressed = 0;  // 1 between left button down and up
  TRACKMOUSEEVENT trackMouse{};
  WNDPROC previousProc = nullptr;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintOffScreen();
};

// "BUTTON" titled name, WS_CHILD|WS_VISIBLE|BS_FLAT, control id 0, subclassed; entered as
// "[BUTTON]" + name in parent's registry. Null on failure or without a created parent.
MvButton* CreateButton(MvChildWindow* parent, int32_t x, int32_t y, int32_t width, int32_t height, const wchar_t* name);
// In the main window's registry, or in window's.
MvButton* FindButton(const wchar_t* name);
MvButton* FindButton(const MvChildWindow* window, const wchar_t* name);

}  // namespace tessaly
