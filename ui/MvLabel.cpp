#include "MvLabel.h"

#include "Framework.h"
#include "MvChildWindow.h"
#include "Win32Check.h"
#include "model/ControlRegistry.h"

namespace tessaly {
namespace {

// Longest label text in characters, the terminating zero included.
constexpr size_t kLabelTextCapacity = 8192;

}  // namespace

void MvLabel::SetText(const wchar_t* newText) {
  const wchar_t* value = newText ? newText : L"";
  if (text == value) return;
  ApplyText(value);
}

void MvLabel::ApplyText(std::wstring formatted) {
  if (formatted.size() > kLabelTextCapacity - 1) formatted.resize(kLabelTextCapacity - 1);
  if (formatted == text) return;
  text = std::move(formatted);
  if (!hwnd) return;
  const TextExtent size = Measure(false);
  win::CheckWin32(FrameworkError(), SetWindowPos(hwnd, nullptr, x, y, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE),
                  L"SetWindowPos", name);
  width = size.width;
  height = size.height;
  win::CheckWin32(FrameworkError(), SetWindowTextW(hwnd, text.c_str()), L"SetWindowTextW", name);
}

TextExtent MvLabel::Measure(bool asOneLine) const {
  win::ScopedGetDC dc(hwnd);
  if (!win::CheckWin32(FrameworkError(), static_cast<bool>(dc), L"GetDC", name)) return {width, height};
  win::ScopedSelectObject selected(dc.get(), font);
  const MeasureLine measure = [&](std::wstring_view line) {
    SIZE size{};
    win::CheckWin32(FrameworkError(),
                    GetTextExtentPoint32W(dc.get(), line.data(), static_cast<int>(line.size()), &size),
                    L"GetTextExtentPoint32W", name);
    return TextExtent{size.cx, size.cy};
  };
  const LabelWidths widths{fixedWidth, forcedWidth};
  if (asOneLine) {
    const TextExtent whole = measure(text);
    return {ApplyLabelWidth(whole.width, widths), whole.height};
  }
  return LayoutLabel(text, measure, widths);
}

void MvLabel::SetFont(HFONT newFont) {
  font = newFont;
  if (!hwnd) return;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
  const TextExtent size = Measure(true);
  width = size.width;
  height = size.height;
  win::CheckWin32(FrameworkError(), SetWindowPos(hwnd, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE),
                  L"SetWindowPos", name);
}

void MvLabel::SetWhiteBackground() {
  HBRUSH white = win::CheckedHandle(FrameworkError(), CreateSolidBrush(RGB(255, 255, 255)), L"CreateSolidBrush", name);
  if (!white) return;
  ownedBackground_.reset(white);
  background = white;
  Invalidate();
}

void MvLabel::Move(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight) {
  Place(newX, newY, ApplyLabelWidth(newWidth, LabelWidths{fixedWidth, forcedWidth}), newHeight);
}

HBRUSH MvLabel::OnCtlColorStatic(HDC dc) {
  ::SetTextColor(dc, textColor);
  // The text cell shows the label's own background, not the DC's default white.
  SetBkMode(dc, TRANSPARENT);
  return background;
}

MvLabel* CreateLabel(MvChildWindow* parent, const wchar_t* text, int32_t x, int32_t y) {
  if (!parent || !text) return nullptr;
  HWND window = CreateControlWindow(L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_EDITCONTROL, x, y, 1, 1, parent->hwnd, text);
  if (!window) return nullptr;
  auto label = std::make_unique<MvLabel>(text);
  label->hwnd = window;
  label->x = x;
  label->y = y;
  label->width = 1;
  label->height = 1;
  MvControl* registered = parent->Register(kTagLabel, std::move(label));
  if (!registered) DestroyWindow(window);
  return static_cast<MvLabel*>(registered);
}

MvLabel* FindLabel(const MvChildWindow* window, const wchar_t* name) {
  if (!window || !name) return nullptr;
  return static_cast<MvLabel*>(window->FindControl(kTagLabel, name));
}

}  // namespace tessaly
