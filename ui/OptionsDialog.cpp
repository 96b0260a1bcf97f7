#include "OptionsDialog.h"

#include "DialogObject.h"
#include "Localize.h"
#include "MvError.h"
#include "TextConvert.h"
#include "WelcomeDialogResources.h"
#include "Win32Check.h"

#include <exception>

namespace tessaly {
namespace {

// The edit of each limit, in the order of kSizeSettings.
constexpr int kLimitEdits[4] = {IDC_OPTIONS_MINMUSIC, IDC_OPTIONS_MAXMUSIC, IDC_OPTIONS_MINVIDEO, IDC_OPTIONS_MAXVIDEO};

constexpr struct {
  int control;
  const wchar_t* stringId;
} kTexts[] = {
    {IDOK, L"IDS_OK"},
    {IDCANCEL, L"IDS_CANCEL"},
    {IDC_OPTIONS_MUSICGROUP, L"IDS_MUSICSETTINGS"},
    {IDC_OPTIONS_MINMUSICLABEL, L"IDS_MINIMUMFILESIZE"},
    {IDC_OPTIONS_MAXMUSICLABEL, L"IDS_MAXIMUMFILESIZE"},
    {IDC_OPTIONS_MINMUSICMB, L"IDS_MB"},
    {IDC_OPTIONS_MAXMUSICMB, L"IDS_MB"},
    {IDC_OPTIONS_MUSICBODY, L"IDS_MUSICSETTINGSBODY"},
    {IDC_OPTIONS_VIDEOGROUP, L"IDS_VIDEOSETTINGS"},
    {IDC_OPTIONS_MINVIDEOLABEL, L"IDS_MINIMUMFILESIZE"},
    {IDC_OPTIONS_MAXVIDEOLABEL, L"IDS_MAXIMUMFILESIZE"},
    {IDC_OPTIONS_MINVIDEOMB, L"IDS_MB"},
    {IDC_OPTIONS_MAXVIDEOMB, L"IDS_MB"},
    {IDC_OPTIONS_VIDEOBODY, L"IDS_VIDEOSETTINGSBODY"},
};

constexpr int kLongestField = 256;

class OptionsDialog {
 public:
  explicit OptionsDialog(const OptionsRequest& request)
      : request_(request),
        language_(request.language ? *request.language : LanguageTable()),
        configuration_(request.configuration ? *request.configuration : ConfigurationTable()) {}

  INT_PTR Run(HWND owner) {
    const INT_PTR result = DialogBoxParamW(request_.instance, MAKEINTRESOURCEW(IDD_OPTIONS), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1) win::CheckWin32(error_, false, L"DialogBoxParamW", L"options dialog (136)");
    return result;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<OptionsDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"OptionsDialog", message, [&]() -> INT_PTR {
      if (message == WM_INITDIALOG) self->dialog_ = window;
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
        if (LOWORD(wParam) == IDOK) {
          Store();
          End();
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          End();
          return TRUE;
        }
        return FALSE;
      case WM_CLOSE:
        End();
        return TRUE;
      default:
        return FALSE;
    }
  }

  void Initialize() {
    LocalizeControl(L"IDS_OPTIONS", language_, dialog_, -1);
    for (const auto& text : kTexts) LocalizeControl(text.stringId, language_, dialog_, text.control);
    for (size_t i = 0; i < 4; ++i) {
      SetDlgItemInt(dialog_, kLimitEdits[i], static_cast<UINT>(request_.limits[i]), TRUE);
    }
  }

  void Store() {
    for (size_t i = 0; i < 4; ++i) {
      wchar_t typed[kLongestField + 1] = {};
      GetDlgItemTextW(dialog_, kLimitEdits[i], typed, kLongestField + 1);
      if (typed[0] == L'\0') continue;  // an emptied field keeps what was stored
      const wchar_t* name = SizeSettingName(kSizeSettings[i]);
      if (!request_.settings || !Settings(*request_.settings).SetSizeLimitText(kSizeSettings[i], typed)) {
        error_.Report(L"OptionsDialog: %s could not be stored", name);
      }
      AddOrReplaceStringElement(L"Neutral", name, configuration_, typed);
    }
  }

  void End() {
    HWND dialog = dialog_;
    if (!dialog) return;
    dialog_ = nullptr;
    if (HWND owner = GetParent(dialog)) SetForegroundWindow(owner);
    win::CheckWin32(error_, EndDialog(dialog, 0) != FALSE, L"EndDialog", L"options dialog");
  }

  const OptionsRequest& request_;
  StringTable& language_;
  StringTable& configuration_;
  HWND dialog_ = nullptr;
  MvError error_;
};

}  // namespace

INT_PTR RunOptionsDialog(HWND owner, const OptionsRequest& request) { return OptionsDialog(request).Run(owner); }

}  // namespace tessaly
