#include "SecuritySettingsDialog.h"

#include "DialogObject.h"
#include "Localize.h"
#include "MvError.h"
#include "SecurityEntries.h"
#include "SetupDialogResources.h"
#include "StringTable.h"
#include "TextConvert.h"
#include "Win32Check.h"

#include <exception>

namespace tessaly {
namespace {

// Caption and control texts, by control (-1: the dialog itself).
struct TextBinding {
  int control;
  const wchar_t* stringId;
};
constexpr TextBinding kTexts[] = {
    {-1, L"IDS_SECURITYSETTINGS"},
    {IDC_SECURITY_NEXT, L"IDS_NEXT"},
    {IDC_SECURITY_CANCEL, L"IDS_CANCEL"},
    {IDC_SECURITY_EXPLANATION, L"IDS_NEWPASSWORDDISCLAIMER"},
    {IDC_SECURITY_NEWPASSWORDLABEL, L"IDS_ENTERNEWPASSWORD"},
    {IDC_SECURITY_AGAINLABEL, L"IDS_REENTERPASSWORD"},
    {IDC_SECURITY_ANSWERLABEL, L"IDS_CHOOSEANSWER"},
    {IDC_SECURITY_QUESTIONLABEL, L"IDS_CHOOSEQUESTION"},
    {IDC_SECURITY_QUESTION, L"IDS_WHATISYOURFAVORITEMOVIE"},
};

constexpr int kEntryFields[] = {IDC_SECURITY_PASSWORD, IDC_SECURITY_PASSWORDAGAIN, IDC_SECURITY_QUESTION,
                                IDC_SECURITY_ANSWER};

class SecuritySettingsDialog {
 public:
  SecuritySettingsDialog(StringTable& language, const SecuritySettingsStore& store)
      : language_(language), store_(store) {}

  int Run(HINSTANCE instance, HWND owner) {
    const INT_PTR result =
        DialogBoxParamW(instance ? instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SECURITYSETTINGS), owner,
                        DialogProc, reinterpret_cast<LPARAM>(this));
    if (result == -1) {
      win::CheckWin32(error_, false, L"DialogBoxParamW", L"security-settings dialog (141)");
      return kSecuritySettingsNotShown;
    }
    return static_cast<int>(result);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<SecuritySettingsDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"SecuritySettingsDialog", message, [&]() -> INT_PTR {
      if (message == WM_INITDIALOG) self->window_ = window;
      return self->Message(message, wParam);
    });
  }

  INT_PTR Message(UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        for (const TextBinding& binding : kTexts)
          LocalizeControl(binding.stringId, language_, window_, binding.control);
        // What is typed is what the login will read back.
        for (int field : kEntryFields) SendDlgItemMessageW(window_, field, EM_LIMITTEXT, kMaximumEntryLength, 0);
        return FALSE;
      case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        if (LOWORD(wParam) == IDC_SECURITY_NEXT) {
          Next();
          return TRUE;
        }
        if (LOWORD(wParam) == IDC_SECURITY_CANCEL || LOWORD(wParam) == IDCANCEL) {  // IDCANCEL: Escape
          End(kSecuritySettingsCancelled);
          return TRUE;
        }
        return FALSE;
      case WM_CLOSE:
        // Going on without a password would install a program nobody can log into.
        End(kSecuritySettingsCancelled);
        return TRUE;
      default:
        return FALSE;
    }
  }

  std::wstring Field(int id) const {
    wchar_t text[kMaximumEntryLength + 1] = {};
    GetDlgItemTextW(window_, id, text, static_cast<int>(kMaximumEntryLength + 1));
    return text;
  }

  void Next() {
    SecurityEntries entries{Field(IDC_SECURITY_PASSWORD), Field(IDC_SECURITY_PASSWORDAGAIN),
                            Field(IDC_SECURITY_QUESTION), Field(IDC_SECURITY_ANSWER)};
    if (const wchar_t* problem = SecurityEntriesError(entries)) {
      MessageBoxW(window_, GetString(false, problem, language_), GetString(false, L"IDS_ERROR", language_),
                  MB_OK | MB_ICONHAND);
      return;
    }
    const SecuritySettings settings{entries.password, entries.question, entries.answer};
    if (!store_ || !store_(settings)) {
      error_.Report(L"SecuritySettingsDialog: the security settings could not be stored");
      End(kSecuritySettingsCancelled);
      return;
    }
    End(kSecuritySettingsStored);
  }

  void End(int result) {
    HWND window = window_;
    window_ = nullptr;
    if (HWND owner = GetParent(window)) SetForegroundWindow(owner);
    win::CheckWin32(error_, EndDialog(window, result) != FALSE, L"EndDialog", L"security-settings dialog");
  }

  StringTable& language_;
  const SecuritySettingsStore& store_;
  HWND window_ = nullptr;
  MvError error_;
};

}  // namespace

int RunSecuritySettingsDialog(HINSTANCE instance, StringTable& language, const SecuritySettingsStore& store,
                              HWND owner) {
  return SecuritySettingsDialog(language, store).Run(instance, owner);
}

}  // namespace tessaly
