#include "MvControl.h"

#include "Framework.h"
#include "Win32Check.h"
#include "model/ControlRegistry.h"

namespace tessaly {

MvControl::MvControl(std::wstring controlName, ControlKind kind) : name(std::move(controlName)), kind_(kind) {}

void MvControl::SetProperty(const wchar_t* propertyName, void* value) {
  if (!propertyName) return;
  if (MvListEntry* entry = properties.Find(propertyName, true, true)) {
    entry->value = value;
    return;
  }
  properties.Add(propertyName, value);
}

void* MvControl::GetProperty(const wchar_t* propertyName) const {
  if (!propertyName) return nullptr;
  const MvListEntry* entry = properties.Find(propertyName, true, true);
  return entry ? entry->value : nullptr;
}

void MvControl::AddToGroup(const wchar_t* group) {
  if (group) groups.Add(group, this);
}

const wchar_t* MvControl::GetGroupName() const { return FirstGroupName(groups); }

void MvControl::Enable(bool flag) {
  enabled = flag ? 1 : 0;
  if (!hwnd) return;
  EnableWindow(hwnd, flag ? TRUE : FALSE);  // returns the previous state, not success
  Invalidate();
}

void MvControl::SetOwnerDraw() {
  style = kOwnerDrawnStyle;
  if (!hwnd) return;
  SetLastError(0);
  const LONG current = GetWindowLongW(hwnd, GWL_STYLE);
  win::CheckWin32(FrameworkError(), current != 0 || ::GetLastError() == 0, L"GetWindowLongW", name);
  SetLastError(0);
  const LONG previous = SetWindowLongW(hwnd, GWL_STYLE, current | BS_OWNERDRAW);
  win::CheckWin32(FrameworkError(), previous != 0 || ::GetLastError() == 0, L"SetWindowLongW", name);
}

void MvControl::SetWindowCaption(const std::wstring& caption) {
  if (!hwnd) return;
  win::CheckWin32(FrameworkError(), SetWindowTextW(hwnd, caption.c_str()), L"SetWindowTextW", name);
}

void MvControl::UpdateRect() {
  RECT rect{};
  if (!hwnd || !win::CheckWin32(FrameworkError(), GetClientRect(hwnd, &rect), L"GetClientRect", name)) {
    x = y = width = height = 0;
    return;
  }
  x = rect.left;
  y = rect.top;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
}

void MvControl::Show(int command, bool raise) {
  if (hwnd) ShowWindow(hwnd, command);  // returns the previous visibility, not success
  visible = command != SW_HIDE ? 1 : 0;
  if (raise) events.ExecuteAll_BinaryEventProcs(kEventUiControlShow, reinterpret_cast<void*>(static_cast<intptr_t>(command)));
}

void MvControl::Invalidate() const {
  if (hwnd) win::CheckWin32(FrameworkError(), InvalidateRect(hwnd, nullptr, FALSE), L"InvalidateRect", name);
}

bool MvControl::Place(int newX, int newY, int newWidth, int newHeight) {
  x = newX;
  y = newY;
  width = newWidth;
  height = newHeight;
  if (!hwnd) return false;
  return win::CheckWin32(FrameworkError(),
                         SetWindowPos(hwnd, nullptr, newX, newY, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE),
                         L"SetWindowPos", name);
}

}  // namespace tessaly
