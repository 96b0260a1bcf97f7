#include "LoginDialog.h"

#include "DialogObject.h"
#include "LoginDialogResources.h"
#include "Localize.h"
#include "ModuleInfo.h"
#include "MvError.h"
#include "PasswordStore.h"
#include "TextConvert.h"
#include "Win32Check.h"

#include <exception>
#include <string>

namespace tessaly {
namespace {

// Entries are read up to this many characters; a longer entry is cut.
constexpr int kEntryCharacters = 256;

// The label of the answer field has no ID of its own in the template.
constexpr int kAnswerLabelId = -1;

class LoginDialog {
 public:
  explicit LoginDialog(LoginContext& context)
      : context_(context),
        language_(context.language ? *context.language : LanguageTable()),
        settings_(context.settings ? *context.settings : SystemSettingsStore()) {}

  INT_PTR Run(HINSTANCE instance, HWND owner) {
    owner_ = owner;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_LOGIN), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1) win::CheckWin32(error_, false, L"DialogBoxParamW", L"login dialog (101)");
    return result;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<LoginDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"LoginDialog", message, [&]() -> INT_PTR {
      if (message == WM_INITDIALOG) self->window_ = window;
      return self->Message(message, wParam);
    });
  }

  INT_PTR Message(UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        Initialize();
        return TRUE;
      case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        switch (LOWORD(wParam)) {
          case IDOK:
            Accept();
            return TRUE;
          case IDCANCEL:  // the Cancel button, and Escape
            End(kLoginCancelled);
            return TRUE;
          case IDC_LOGIN_FORGOT:
            EnterAnswerMode();
            return TRUE;
          default:
            return FALSE;
        }
      case WM_CLOSE:
        End(kLoginCancelled);
        return TRUE;
      case WM_DESTROY:
      case WM_QUIT:
        End(kLoginAccepted);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void Initialize() {
    context_.answerMode = false;
    LocalizeControl(L"IDS_PASSWORDQUESTION", language_, window_, IDC_LOGIN_QUESTIONLABEL);
    if (HWND answerLabel = AnswerLabel()) {
      LocalizeControl(L"IDS_ENTERANSWER", language_, answerLabel, -1);
      ShowWindow(answerLabel, SW_HIDE);
    }
    ShowControl(IDC_LOGIN_QUESTIONLABEL, false);
    ShowControl(IDC_LOGIN_ANSWER, false);
    LocalizeControl(L"IDS_PROGRAMLOGIN", language_, window_, -1);
    LocalizeControl(L"IDS_ENTERPASSWORD", language_, window_, IDC_LOGIN_PASSWORDLABEL);
    LocalizeControl(L"IDS_OK", language_, window_, IDOK);
    LocalizeControl(L"IDS_CANCEL", language_, window_, IDCANCEL);
    LocalizeControl(L"IDS_FORGOTPASSWORD", language_, window_, IDC_LOGIN_FORGOT);
    SetDlgItemTextW(window_, IDC_LOGIN_VERSION, ProductVersionText());
    SendDlgItemMessageW(window_, IDC_LOGIN_PASSWORD, EM_LIMITTEXT, kEntryCharacters, 0);
    SendDlgItemMessageW(window_, IDC_LOGIN_ANSWER, EM_LIMITTEXT, kEntryCharacters, 0);
  }

  // The static without an ID that labels the answer field: found as the control just before the
  // answer edit in the tab order.
  HWND AnswerLabel() const {
    HWND answer = GetDlgItem(window_, IDC_LOGIN_ANSWER);
    if (!answer) return nullptr;
    HWND before = GetWindow(answer, GW_HWNDPREV);
    if (!before) return nullptr;
    const int id = GetDlgCtrlID(before);
    return id == kAnswerLabelId || id == 0xFFFF ? before : nullptr;
  }

  void ShowControl(int id, bool show) {
    if (HWND control = GetDlgItem(window_, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
  }

  void EnterAnswerMode() {
    context_.answerMode = true;
    ShowControl(IDC_LOGIN_QUESTIONLABEL, true);
    if (HWND answerLabel = AnswerLabel()) ShowWindow(answerLabel, SW_SHOW);
    ShowControl(IDC_LOGIN_ANSWER, true);
    if (GetDlgItem(window_, IDC_LOGIN_QUESTION)) {
      SetDlgItemTextW(window_, IDC_LOGIN_QUESTION, StoredQuestion(settings_).value_or(L"").c_str());
      ShowControl(IDC_LOGIN_QUESTION, true);
    }
    ShowControl(IDC_LOGIN_PASSWORDLABEL, false);
    ShowControl(IDC_LOGIN_PASSWORD, false);
    SetFocus(GetDlgItem(window_, IDC_LOGIN_ANSWER));
  }

  std::wstring Entry(int id) const {
    wchar_t text[kEntryCharacters + 1] = {};
    GetDlgItemTextW(window_, id, text, kEntryCharacters + 1);
    return text;
  }

  void Accept() {
    if (context_.answerMode) {
      const std::wstring answer = Entry(IDC_LOGIN_ANSWER);
      if (!answer.empty() && CheckAnswer(settings_, answer)) {
        End(kLoginAccepted);
      } else {
        ShowError(L"IDS_WRONGANSWER");
      }
      return;
    }
    const std::wstring password = Entry(IDC_LOGIN_PASSWORD);
    if (!password.empty() && CheckPassword(settings_, password)) {
      End(kLoginAccepted);
    } else if (!password.empty() && !PasswordExists(settings_)) {
      ShowError(L"IDS_PASSWORDMISSING");
    } else {
      ShowError(L"IDS_INVALIDPASSWORD");
    }
  }

  void ShowError(const wchar_t* textId) {
    const std::wstring text = GetString(false, textId, language_);
    const std::wstring caption = GetString(false, L"IDS_ERROR", language_);
    MessageBoxW(window_, text.c_str(), caption.c_str(), MB_ICONHAND);
  }

  // Ends once: a dialog ended by Cancel is destroyed afterwards, and that must not turn its
  // result into an acceptance.
  void End(INT_PTR result) {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    if (owner_) SetForegroundWindow(owner_);
    win::CheckWin32(error_, EndDialog(window, result) != FALSE, L"EndDialog", L"login dialog");
  }

  LoginContext& context_;
  StringTable& language_;
  SettingsStore& settings_;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;  // null once the dialog has ended
  MvError error_;
};

}  // namespace

INT_PTR RunLoginDialog(HINSTANCE instance, HWND owner, LoginContext& context) {
  return LoginDialog(context).Run(instance, owner);
}

}  // namespace tessaly
