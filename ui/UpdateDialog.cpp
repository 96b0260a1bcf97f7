#include "UpdateDialog.h"

#include "DebugLog.h"
#include "DialogObject.h"
#include "Localize.h"
#include "TextConvert.h"
#include "UpdateDialogResources.h"
#include "Win32Check.h"

#include <commctrl.h>

#include <exception>

namespace tessaly {
namespace {

static_assert(IDC_UPDATE_STATUS == kUpdateStatusLine && IDC_UPDATE_IMPORTANT == kUpdateImportantLine &&
              IDC_UPDATE_PRIVACY1 == kUpdatePrivacyLine1 && IDC_UPDATE_PRIVACY2 == kUpdatePrivacyLine2 &&
              IDC_UPDATE_YES == kUpdateYesButton && IDC_UPDATE_NO == kUpdateNoButton &&
              IDC_UPDATE_PROGRESS == kUpdateProgressBar);

// The texts set when the dialog opens; -1 is the caption.
struct ControlText {
  int controlId;
  const wchar_t* stringId;
};
constexpr ControlText kInitialTexts[] = {
    {-1, L"IDS_PROGRAMTITLE"},
    {IDC_UPDATE_STATUS, L"IDS_CHECKFORUPDATES"},
    {IDC_UPDATE_IMPORTANT, L"IDS_IMPORTANT"},
    {IDC_UPDATE_PRIVACY1, L"IDS_NOPERSONALINFORMATION"},
    {IDC_UPDATE_PRIVACY2, L"IDS_WILLBERECORDED"},
    {IDC_UPDATE_YES, L"IDS_YES"},
    {IDC_UPDATE_NO, L"IDS_NO"},
};

}  // namespace

UpdateDialog::UpdateDialog(UpdateDialogSetup setup)
    : instance_(setup.instance), language_(setup.session.language) {
  setup.session.post = [this](UiTask task) { return bridge_.Post(std::move(task)); };
  session_ = std::make_unique<UpdateSession>(std::move(setup.session), *this);
}

UpdateDialog::~UpdateDialog() { session_.reset(); }

INT_PTR UpdateDialog::Run(HWND owner) {
  owner_ = owner;
  if (!bridge_.Ready()) error_.Report(L"UpdateDialog: no UI bridge, progress will not be shown");
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_CHECKFORUPDATES), owner, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (result == -1) {
    win::CheckWin32(error_, false, L"DialogBoxParamW", L"update dialog (102)");
    return 0;
  }
  return result;
}

INT_PTR CALLBACK UpdateDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = win::DialogObject<UpdateDialog>(window, message, lParam);
  if (!self) return FALSE;
  return win::GuardedDialogMessage(self->error_, L"UpdateDialog", message, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) self->window_ = window;
    return self->Message(message, wParam, lParam);
  });
}

INT_PTR UpdateDialog::Message(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Initialize();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_UPDATE_YES:
          session_->Yes();
          return TRUE;
        case IDC_UPDATE_NO:
        case IDCANCEL:  // Escape
          End(0);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_TIMER:
      if (wParam != kUpdateCloseTimer) return FALSE;
      End(0);
      return TRUE;
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_QUIT:
      End(0);
      return TRUE;
    default:
      return FALSE;
  }
}

void UpdateDialog::Initialize() {
  for (const ControlText& row : kInitialTexts) LocalizeControl(row.stringId, *language_, window_, row.controlId);
  LOGFONTW look{};
  look.lfHeight = 10;
  look.lfWeight = 600;
  look.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lstrcpynW(look.lfFaceName, L"Tahoma", LF_FACESIZE);
  importantFont_.reset(win::CheckedHandle(error_, CreateFontIndirectW(&look), L"CreateFontIndirectW", L"Tahoma 10"));
  if (importantFont_) {
    SendDlgItemMessageW(window_, IDC_UPDATE_IMPORTANT, WM_SETFONT, reinterpret_cast<WPARAM>(importantFont_.get()),
                        FALSE);
  }
  SendDlgItemMessageW(window_, IDC_UPDATE_PROGRESS, PBM_SETRANGE32, 0, 1000);
  ShowControl(IDC_UPDATE_PROGRESS, false);
}

void UpdateDialog::SetTextOf(int controlId, const wchar_t* stringId) {
  SetText(controlId, GetString(false, stringId, *language_));
}

void UpdateDialog::ShowControl(int controlId, bool shown) {
  if (HWND control = GetDlgItem(window_, controlId)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void UpdateDialog::Show(const UpdateDialogView& view) {
  if (!window_) return;
  SetTextOf(IDC_UPDATE_STATUS, view.statusTextId);
  EnableWindow(GetDlgItem(window_, IDC_UPDATE_YES), view.yesEnabled);
  SetTextOf(IDC_UPDATE_NO, view.noTextId);
  EnableWindow(GetDlgItem(window_, IDC_UPDATE_NO), view.noEnabled);
  ShowControl(IDC_UPDATE_IMPORTANT, view.privacyShown);
  ShowControl(IDC_UPDATE_PRIVACY1, view.privacyShown);
  if (view.line2TextId) SetTextOf(IDC_UPDATE_PRIVACY2, view.line2TextId);
  ShowControl(IDC_UPDATE_PRIVACY2, view.line2Shown);
  ShowControl(IDC_UPDATE_PROGRESS, view.progressShown);
  if (view.closeAfterMilliseconds > 0) {
    win::CheckWin32(error_, SetTimer(window_, kUpdateCloseTimer, view.closeAfterMilliseconds, nullptr) != 0,
                    L"SetTimer", L"update dialog close");
  }
}

void UpdateDialog::SetText(int controlId, const std::wstring& text) {
  if (window_) SetDlgItemTextW(window_, controlId, text.c_str());
}

void UpdateDialog::SetProgress(uint32_t position) {
  if (window_) SendDlgItemMessageW(window_, IDC_UPDATE_PROGRESS, PBM_SETPOS, position, 0);
}

void UpdateDialog::End(int result) {
  HWND window = window_;
  if (!window) return;
  window_ = nullptr;  // later results find no dialog
  KillTimer(window, kUpdateCloseTimer);
  if (owner_) SetForegroundWindow(owner_);
  win::CheckWin32(error_, EndDialog(window, result) != FALSE, L"EndDialog", L"update dialog");
}

}  // namespace tessaly
