#include "LicenseDialog.h"

#include "DialogObject.h"
#include "LicenseText.h"
#include "Localize.h"
#include "MvError.h"
#include "SetupDialogResources.h"
#include "StringTable.h"
#include "TextConvert.h"
#include "Win32Check.h"
#include "WinHandles.h"

#include <richedit.h>

#include <exception>

namespace tessaly {
namespace {

// Paragraph indents of the licence text, in twips.
constexpr LONG kTextIndent = 250;

class LicenseDialog {
 public:
  explicit LicenseDialog(const LicenseDialogSetup& setup) : setup_(setup), reader_(setup.rtfFile) {}

  int Run(HWND owner) {
    HINSTANCE instance = setup_.instance ? setup_.instance : GetModuleHandleW(nullptr);
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_LICENSEAGREEMENT), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1) {
      win::CheckWin32(error_, false, L"DialogBoxParamW", L"licence dialog (139)");
      return kLicenseNotShown;
    }
    return static_cast<int>(result);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<LicenseDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"LicenseDialog", message, [&]() -> INT_PTR {
      if (message == WM_INITDIALOG) self->window_ = window;
      return self->Message(message, wParam);
    });
  }

  static DWORD CALLBACK StreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered) {
    auto* self = reinterpret_cast<LicenseDialog*>(cookie);
    if (delivered) *delivered = 0;
    if (!self || !delivered) return 1;
    try {
      int32_t count = 0;
      if (!self->reader_.ReadPiece(buffer, requested, count)) return 1;
      *delivered = count;
      return 0;
    } catch (...) {
      self->error_.Report(L"LicenseDialog.RichEditCallBack: reading failed");
      return 1;
    }
  }

  INT_PTR Message(UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        Initialize();
        // The focus on the button: given to the text instead, the dialog would select all of it.
        if (HWND next = GetDlgItem(window_, IDOK)) SetFocus(next);
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
          const bool agreed =
              !setup_.hideAgreementOptions && IsDlgButtonChecked(window_, IDC_LICENSE_IAGREE) == BST_CHECKED;
          End(agreed ? kLicenseAgreed : kLicenseNotAgreed);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {  // Escape: as the close box
          End(kLicenseClosed);
          return TRUE;
        }
        return FALSE;
      case WM_CLOSE:
      case WM_QUIT:
        End(kLicenseClosed);
        return TRUE;
      case WM_DESTROY:
        // Destroyed without an answer (after EndDialog this changes nothing): never an agreement.
        if (window_) End(kLicenseClosed);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void Initialize() {
    if (setup_.language) {
      StringTable& language = *setup_.language;
      LocalizeControl(L"IDS_LICENSEAGREEMENT", language, window_, -1);
      LocalizeControl(L"IDS_LICENSEDISCLAIMER", language, window_, IDC_LICENSE_DISCLAIMER);
      LocalizeControl(L"IDS_NEXT", language, window_, IDOK);
      LocalizeControl(L"IDS_IAGREE", language, window_, IDC_LICENSE_IAGREE);
      LocalizeControl(L"IDS_IDONOTAGREE", language, window_, IDC_LICENSE_IDONOTAGREE);
      if (setup_.hideAgreementOptions) LocalizeControl(L"IDS_OK", language, window_, IDOK);
    }
    // Disagreeing is the preselected choice.
    CheckRadioButton(window_, IDC_LICENSE_IDONOTAGREE, IDC_LICENSE_IAGREE, IDC_LICENSE_IDONOTAGREE);
    HWND text = GetDlgItem(window_, IDC_LICENSE_TEXT);
    if (setup_.hideAgreementOptions) {
      for (int id : {IDC_LICENSE_DISCLAIMER, IDC_LICENSE_IAGREE, IDC_LICENSE_IDONOTAGREE}) {
        if (HWND control = GetDlgItem(window_, id)) ShowWindow(control, SW_HIDE);
      }
      if (text) GrowTextOverHiddenOptions(text);
    }
    if (!text) return;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(this);
    stream.pfnCallback = StreamCallback;
    SendMessageW(text, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) error_.Report(L"LicenseDialog: EM_STREAMIN ended with error %u", stream.dwError);
    CHARRANGE all{0, -1};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_ALIGNMENT;
    format.dxStartIndent = kTextIndent;
    format.dxRightIndent = kTextIndent;
    format.wAlignment = PFA_LEFT;
    SendMessageW(text, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    // The text opens at its start, not highlighted as a whole.
    CHARRANGE start{0, 0};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageW(text, WM_VSCROLL, SB_TOP, 0);
  }

  // For reading only, the text takes the room of the disclaimer above it and of the options below.
  void GrowTextOverHiddenOptions(HWND text) {
    HWND disclaimer = GetDlgItem(window_, IDC_LICENSE_DISCLAIMER);
    HWND lowest = GetDlgItem(window_, IDC_LICENSE_IDONOTAGREE);
    RECT textRect{}, top{}, bottom{};
    if (!disclaimer || !lowest || !GetWindowRect(text, &textRect) || !GetWindowRect(disclaimer, &top) ||
        !GetWindowRect(lowest, &bottom)) {
      return;
    }
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&textRect), 2);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&top), 2);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bottom), 2);
    win::CheckWin32(error_,
                    SetWindowPos(text, nullptr, textRect.left, top.top, textRect.right - textRect.left,
                                 bottom.bottom - top.top, SWP_NOZORDER | SWP_NOACTIVATE) != FALSE,
                    L"SetWindowPos", L"licence text");
  }

  void End(int result) {
    HWND window = window_;
    window_ = nullptr;
    if (HWND owner = GetParent(window)) SetForegroundWindow(owner);
    win::CheckWin32(error_, EndDialog(window, result) != FALSE, L"EndDialog", L"licence dialog");
  }

  const LicenseDialogSetup& setup_;
  LicenseTextReader reader_;
  HWND window_ = nullptr;  // null while the dialog is not open, or once it has been ended
  MvError error_;
};

MvError& LicenseFileError() {
  static MvError error;
  return error;
}

bool WriteLicenseFile(const std::wstring& path, const std::string& bytes, LicenseFileUse use) {
  const bool installation = use == LicenseFileUse::Installation;
  win::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, installation ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ,
                  nullptr, CREATE_ALWAYS, installation ? FILE_ATTRIBUTE_TEMPORARY : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!win::CheckWin32(LicenseFileError(), file.valid(), L"CreateFileW", path)) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return win::CheckWin32(LicenseFileError(), ok, L"WriteFile", path);
}

}  // namespace

int RunLicenseDialog(const LicenseDialogSetup& setup, HWND owner) { return LicenseDialog(setup).Run(owner); }

int ShowLicenseAgreement(const LicenseDialogSetup& setup, HWND owner, LicenseFileUse use) {
  if (!setup.language) {
    LicenseFileError().Report(L"ShowLicenseAgreement(): no language table");
    return kLicenseNotShown;
  }
  int result = kLicenseNotShown;
  if (WriteLicenseFile(setup.rtfFile, LicenseRtfBytes(*setup.language), use)) result = RunLicenseDialog(setup, owner);
  if (GetFileAttributesW(setup.rtfFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
    win::CheckWin32(LicenseFileError(), DeleteFileW(setup.rtfFile.c_str()) != FALSE, L"DeleteFileW", setup.rtfFile);
  }
  return result;
}

}  // namespace tessaly
