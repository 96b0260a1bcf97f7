// Combo box wrapper; its CBN_SELCHANGE arrives as "EVENT_CBN_SELCHANGED" with the selected text.
#pragma once

#include "MvControl.h"

#include <windows.h>

namespace tessaly {

inline constexpr const wchar_t* kComboNothingSelected = L"{Error, can not get selected CBox item}";
inline constexpr int32_t kComboBoxTop = 50;            // 96-DPI units
inline constexpr int32_t kComboBoxDropHeight = 220;    // height passed at creation (drop-down list)
inline constexpr int32_t kComboBoxRecordedHeight = 20;  // height the wrapper records

class MvComboBox : public MvControl {
 public:
  explicit MvComboBox(std::wstring name) : MvControl(std::move(name), ControlKind::ComboBox) {}

  // The text of the edit field (valid until the next call).
  const wchar_t* GetText();
  // The selected item's text (valid until the next call), or "{Error, can not get selected CBox
  // item}".
  const wchar_t* GetSelected();

  // CB_ADDSTRING; the item's index or a negative value (CB_ERR, CB_ERRSPACE).
  int AddString(const wchar_t* item);
  // CB_SELECTSTRING from the start; the selected index or CB_ERR.
  int SelectString(const wchar_t* item);
  // CB_GETCOUNT.
  int Count() const;

  std::wstring selectedText;
  std::wstring editText;
};

// "COMBOBOX", style + WS_CHILD|WS_VISIBLE|WS_BORDER|CBS_AUTOHSCROLL, at (x, top), created with
// the drop-down height, recorded 20 high (top and heights scaled by the system DPI); entered as
// "[COMBOBOX]" + name in the main window.
MvComboBox* CreateComboBox(const wchar_t* name, int32_t x, int32_t width, DWORD style);
MvComboBox* CreateComboBox(const wchar_t* name, int32_t x, int32_t width, DWORD style, int32_t top);
MvComboBox* FindComboBox(const wchar_t* name);

}  // namespace tessaly
