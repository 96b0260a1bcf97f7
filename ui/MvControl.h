// The common part of every window and control wrapper: one window handle, one event dispatcher,
// the last known placement, name, caption, groups and free properties.
#pragma once

#include "MvEventHandler.h"
#include "MvLinkedList.h"
#include "model/EventNames.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace tessaly {

enum class ControlKind { Control, ChildWindow, Button, ComboBox, Label, ListView, ToolBar, StatusBar, TabControl, Animation };

// Payload of "EVENT_VERTICALSCROLL": the message's two parameters.
struct VerticalScrollPayload {
  WPARAM wParam;
  LPARAM lParam;
};

// Window style value that marks a control made owner-drawn.
inline constexpr uint32_t kOwnerDrawnStyle = 11;

class MvControl {
 public:
  explicit MvControl(std::wstring name = {}, ControlKind kind = ControlKind::Control);
  virtual ~MvControl() = default;
  MvControl(const MvControl&) = delete;
  MvControl& operator=(const MvControl&) = delete;

  ControlKind Kind() const { return kind_; }

  // Replaces the value of the first property with exactly that name, else appends the pair.
  void SetProperty(const wchar_t* propertyName, void* value);
  // Value of the first property with exactly that name, or null.
  void* GetProperty(const wchar_t* propertyName) const;
  void AddToGroup(const wchar_t* group);
  // Name of the first group, or "{Group Index Not Found}".
  const wchar_t* GetGroupName() const;

  // EnableWindow, stores enabled, invalidates the client area without erasing.
  void Enable(bool flag);
  // Style 11 and BS_OWNERDRAW added to the window style.
  void SetOwnerDraw();
  // printf-style (FormatPrintf) caption, then SetWindowTextW.
  template <typename... Args>
  void SetTextF(std::wstring_view format, const Args&... args) {
    SetWindowCaption(sizeof...(Args) == 0 ? std::wstring(format) : FormatPrintf(format, args...));
  }
  // Reloads x, y, width, height from GetClientRect; all 0 when that fails.
  void UpdateRect();

  // ShowWindow(hwnd, command), visible kept in step; raises "EVENT_UICONTROL_SHOW" (binary, the
  // command as data) when raise is true.
  void Show(int command, bool raise = true);
  // InvalidateRect of the whole client area without erasing.
  void Invalidate() const;
  // SetWindowPos without Z-order change; stores the placement.
  bool Place(int newX, int newY, int newWidth, int newHeight);

  // Label wrappers answer WM_CTLCOLORSTATIC with their colours; others leave it to Windows.
  virtual HBRUSH OnCtlColorStatic(HDC dc) { return nullptr; }

  MvEventHandler events;
  HWND hwnd = nullptr;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::wstring name;
  std::wstring text;
  MvLinkedList groups;      // group names; each entry's value is the control itself
  MvLinkedList properties;  // free name -> value pairs
  uint8_t enabled = 1;
  uint8_t visible = 1;
  uint32_t style = 0;

 protected:
  void SetWindowCaption(const std::wstring& caption);

 private:
  ControlKind kind_;
};

}  // namespace tessaly
