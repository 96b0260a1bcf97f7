// A window of the framework: its own window class, the framework window procedure that turns
// messages into named events on its dispatcher, and the registry of the controls made in it.
// The program's main window is one of these (see Framework.h).
#pragma once

#include "MvControl.h"
#include "MvError.h"
#include "WinHandles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tessaly {

class MvChildWindow : public MvControl {
 public:
  // The namespace of the dispatcher becomes "{NS:" + name + "}".
  explicit MvChildWindow(std::wstring name);
  ~MvChildWindow() override;  // destroys a window still open and unregisters its class

  // Registers the class (className, when empty "MvChildWindow_%08x" of the object's address) and
  // creates the window; a negative x with a parent centres it in the parent. False on failure
  // (the reason is reported through error; GetLastError still holds it).
  bool Create(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, DWORD windowStyle);

  // Takes ownership of a control made in this window and enters it as kindTag + control->name.
  // Returns the control, or null when it could not be entered (it is then destroyed).
  MvControl* Register(const wchar_t* kindTag, std::unique_ptr<MvControl> control);
  // The control entered under kindTag + name (whole key, case-sensitive), or null.
  MvControl* FindControl(const wchar_t* kindTag, std::wstring_view controlName) const;
  // The registered control with that window handle, or null; the walk stops at an entry without a
  // value.
  MvControl* FindControlByHandle(HWND handle) const;

  // Solid background of colour (owned by the window); used before Create.
  void SetBackgroundColour(COLORREF colour);

  // The framework window procedure; the object is kept in GWLP_USERDATA from WM_NCCREATE on.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  MvLinkedList idCodes;   // name -> number; filled on the main window only
  std::wstring className;
  MvLinkedList children;  // the control registry: kind tag + name -> wrapper, creation order
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HICON icon = nullptr;       // shared system exclamation icon unless set; not owned
  HICON smallIcon = nullptr;  // likewise
  HCURSOR cursor = nullptr;   // arrow unless set; not owned
  const wchar_t* menuName = nullptr;  // resource name (MAKEINTRESOURCEW) or null
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  MvError error;

 private:
  // The window handle is passed in: a handler may destroy the window, which clears hwnd.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(HWND window, WPARAM wParam, LPARAM lParam);

  std::vector<std::unique_ptr<MvControl>> owned_;
  win::UniqueBrush ownedBackground_;  // outlives the class registration that uses it
  bool classRegistered_ = false;
};

}  // namespace tessaly
