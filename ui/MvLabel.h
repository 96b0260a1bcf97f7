// A static text sized to its text (one line per carriage return), with its own font, text colour
// and background brush.
#pragma once

#include "MvControl.h"
#include "model/LabelLayout.h"

#include "WinHandles.h"

#include <windows.h>

namespace tessaly {

class MvChildWindow;

class MvLabel : public MvControl {
 public:
  explicit MvLabel(std::wstring name) : MvControl(std::move(name), ControlKind::Label) {}

  // Nothing when text equals the current text, else as SetTextF.
  void SetText(const wchar_t* newText);
  // Formats (at most 8191 characters), stores the text, sizes the window to it and sets it.
  template <typename... Args>
  void SetTextF(std::wstring_view format, const Args&... args) {
    ApplyText(sizeof...(Args) == 0 ? std::wstring(format) : FormatPrintf(format, args...));
  }
  // WM_SETFONT without redraw, then the size of the whole text as one line; stores the font (not
  // owned).
  void SetFont(HFONT newFont);
  void SetWhiteBackground();
  void SetTextColor(COLORREF colour) { textColor = colour; }
  // Stores the placement, applies the width rule, SetWindowPos without Z-order change.
  void Move(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight);

  HBRUSH OnCtlColorStatic(HDC dc) override;

  HFONT font = nullptr;    // null: the system font
  COLORREF textColor = 0;  // black
  HBRUSH background = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  int32_t fixedWidth = -1;
  int32_t forcedWidth = -1;

 private:
  void ApplyText(std::wstring formatted);
  TextExtent Measure(bool asOneLine) const;
  win::UniqueBrush ownedBackground_;
};

// "STATIC" titled text, WS_CHILD|WS_VISIBLE|SS_EDITCONTROL, 1 x 1; entered as "[LABEL]" + text in
// parent's registry.
MvLabel* CreateLabel(MvChildWindow* parent, const wchar_t* text, int32_t x, int32_t y);
MvLabel* FindLabel(const MvChildWindow* window, const wchar_t* name);

}  // namespace tessaly
