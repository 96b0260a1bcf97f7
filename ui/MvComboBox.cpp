#include "MvComboBox.h"

#include "DebugLog.h"
#include "Framework.h"
#include "Win32Check.h"
#include "model/ControlRegistry.h"

#include <new>

namespace tessaly {

const wchar_t* MvComboBox::GetText() {
  if (!hwnd) {
    editText.clear();
    return editText.c_str();
  }
  const int length = GetWindowTextLengthW(hwnd);
  editText.assign(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, editText.data(), static_cast<int>(editText.size()));
  editText.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return editText.c_str();
}

const wchar_t* MvComboBox::GetSelected() {
  if (!hwnd) return kComboNothingSelected;
  const LRESULT index = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return kComboNothingSelected;
  const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return kComboNothingSelected;
  try {
    selectedText.assign(static_cast<size_t>(length) + 1, L'\0');
  } catch (const std::bad_alloc&) {
    DebugPrint(L"**ERROR** MvComboBox.GetSelected(): Failed to allocate memory(%dbytes)\r\n",
               static_cast<int>((length + 1) * sizeof(wchar_t)));
    return kComboNothingSelected;
  }
  const LRESULT copied = SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(selectedText.data()));
  if (copied == CB_ERR) return kComboNothingSelected;
  selectedText.resize(static_cast<size_t>(copied));
  return selectedText.c_str();
}

int MvComboBox::AddString(const wchar_t* item) {
  if (!hwnd || !item) return CB_ERR;
  const auto index = static_cast<int>(SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)));
  if (index < 0) FrameworkError().Report(L"MvComboBox::AddString(%s): CB_ADDSTRING failed (%d)", name, index);
  return index;
}

int MvComboBox::SelectString(const wchar_t* item) {
  if (!hwnd || !item) return CB_ERR;
  return static_cast<int>(SendMessageW(hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item)));
}

int MvComboBox::Count() const {
  return hwnd ? static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)) : 0;
}

MvComboBox* CreateComboBox(const wchar_t* name, int32_t x, int32_t width, DWORD style, int32_t top) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  const DpiScale dpi = SystemDpiScale();
  HWND window = CreateControlWindow(L"COMBOBOX", nullptr, style | WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_AUTOHSCROLL,
                                    x, top, width, dpi.Scale(kComboBoxDropHeight), main->hwnd, name);
  if (!window) return nullptr;
  auto combo = std::make_unique<MvComboBox>(name);
  combo->hwnd = window;
  combo->x = x;
  combo->y = top;
  combo->width = width;
  combo->height = dpi.Scale(kComboBoxRecordedHeight);
  MvControl* registered = main->Register(kTagComboBox, std::move(combo));
  if (!registered) DestroyWindow(window);
  return static_cast<MvComboBox*>(registered);
}

MvComboBox* CreateComboBox(const wchar_t* name, int32_t x, int32_t width, DWORD style) {
  return CreateComboBox(name, x, width, style, SystemDpiScale().Scale(kComboBoxTop));
}

MvComboBox* FindComboBox(const wchar_t* name) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  return static_cast<MvComboBox*>(main->FindControl(kTagComboBox, name));
}

}  // namespace tessaly
