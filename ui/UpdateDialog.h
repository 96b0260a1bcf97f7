// The update dialog (template 102): asks whether to check, then shows the check, the download
// with its progress bar and speed line, and ends with 5 once "Updater.exe" runs (the caller then
// ends the program), else with 0. What it shows comes from UpdateSession and UpdateDialogModel;
// this class only draws. Worker events reach it through its own UiBridge.
#pragma once

#include "MvError.h"
#include "UiBridge.h"
#include "UpdateSession.h"
#include "WinHandles.h"

#include <windows.h>

#include <memory>

namespace tessaly {

struct UpdateDialogSetup {
  HINSTANCE instance = GetModuleHandleW(nullptr);  // holds template 102
  UpdateSessionSetup session;                      // its poster is the dialog's bridge
};

class UpdateDialog final : public UpdateScreen {
 public:
  // On the UI thread.
  explicit UpdateDialog(UpdateDialogSetup setup);
  ~UpdateDialog() override;
  UpdateDialog(const UpdateDialog&) = delete;
  UpdateDialog& operator=(const UpdateDialog&) = delete;

  // Modal; 5 when the updater was launched, 0 otherwise (also when the dialog cannot be shown).
  INT_PTR Run(HWND owner);
  HWND Handle() const { return window_; }
  UpdateSession& Session() { return *session_; }

  bool IsOpen() const override { return window_ != nullptr; }
  void Show(const UpdateDialogView& view) override;
  void SetText(int controlId, const std::wstring& text) override;
  void SetProgress(uint32_t position) override;
  void End(int result) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Message(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialize();
  void SetTextOf(int controlId, const wchar_t* stringId);
  void ShowControl(int controlId, bool shown);

  HINSTANCE instance_;
  StringTable* language_;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;  // null while the dialog is not open
  win::UniqueFont importantFont_;
  MvError error_;
  UiBridge bridge_;
  // After the bridge, so it goes first: its tasks post through the bridge until it is gone.
  std::unique_ptr<UpdateSession> session_;
};

}  // namespace tessaly
