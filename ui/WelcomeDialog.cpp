#include "WelcomeDialog.h"

#include "DialogObject.h"
#include "Localize.h"
#include "MvError.h"
#include "QuickLink.h"
#include "Settings.h"
#include "TextConvert.h"
#include "WelcomeDialogResources.h"
#include "WinHandles.h"
#include "Win32Check.h"
#include "model/RtfStream.h"

#include <commdlg.h>
#include <richedit.h>

#include <exception>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

constexpr QuickLinkEntry kQuickLinks[9] = {
    {IDC_WELCOME_QUICKLINKS, L"IDS_QUICKLINKS", false},
    {IDC_WELCOME_WHATIS, L"IDS_WHATISTSY", false},
    {IDC_WELCOME_AVOIDING, L"IDS_AVOIDINGILLEGAL", false},
    {IDC_WELCOME_HOWITWORKS, L"IDS_HOWTSYWORKS", false},
    {IDC_WELCOME_FINDSOFTWARE, L"IDS_FINDINGANDREMOVINGSOFTWARE", true},
    {IDC_WELCOME_FINDMUSIC, L"IDS_FINDINGANDREMOVINGILLEGALMUSIC", true},
    {IDC_WELCOME_FINDOTHER, L"IDS_FINDINGFILESINOTHER", true},
    {IDC_WELCOME_CONFIDENCE, L"IDS_USETSYINCONFIDENCE", false},
    {IDC_WELCOME_LEGALMUSIC, L"IDS_HOWTOGETMUSICLEGALLY", false},
};

// Twips either side of the text.
constexpr LONG kTextIndent = 250;

class WelcomeDialog {
 public:
  explicit WelcomeDialog(const WelcomeRequest& request)
      : request_(request), strings_(request.language ? *request.language : LanguageTable()) {}

  INT_PTR Run(HWND owner) {
    const INT_PTR result = DialogBoxParamW(request_.instance, MAKEINTRESOURCEW(IDD_WELCOME), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1) {
      win::CheckWin32(error_, false, L"DialogBoxParamW", L"welcome dialog (104)");
      return 0;
    }
    return result;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<WelcomeDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"WelcomeDialog", message, [&]() -> INT_PTR {
      if (message == WM_INITDIALOG) self->dialog_ = window;
      return self->Message(message, wParam);
    });
  }

  static DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG capacity, LONG* written) {
    auto* self = reinterpret_cast<WelcomeDialog*>(cookie);
    if (written) *written = 0;
    if (!self || !buffer || capacity < 0) return 1;
    const std::optional<size_t> count = self->rtfText_.Next(reinterpret_cast<char*>(buffer), static_cast<size_t>(capacity));
    if (!count) return 1;
    if (written) *written = static_cast<LONG>(*count);
    return 0;
  }

  INT_PTR Message(UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        Initialize();
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {  // OK, and Escape
          End();
          return TRUE;
        }
        if (LOWORD(wParam) == IDC_WELCOME_DONTSHOW && HIWORD(wParam) == BN_CLICKED) {
          StoreSwitch();
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
    rtfText_ = RtfStream(GetString(false, L"IDS_WELCOME_RTFILETEXT", strings_));
    linkFont_.reset(win::CheckedHandle(error_, CreateFontW(12, 0, 0, 0, 600, FALSE, TRUE, 0, 0, 0, 0, 0, 0, L"Tahoma"),
                                       L"CreateFontW", L"link font"));
    subLinkFont_.reset(win::CheckedHandle(
        error_, CreateFontW(12, 0, 0, 0, 600, TRUE, TRUE, 0, 0, 0, 0, 0, 0, L"Tahoma"), L"CreateFontW", L"sub-link font"));
    handCursor_ = win::CheckedHandle(error_, LoadCursorW(nullptr, IDC_HAND), L"LoadCursorW", L"IDC_HAND");

    FillText();
    LocalizeControl(L"IDS_WELCOMETOTSY", strings_, dialog_, -1);
    LocalizeControl(L"IDS_DONTSHOWATSTARTUP", strings_, dialog_, IDC_WELCOME_DONTSHOW);
    const bool dontShow = request_.settings && Settings(*request_.settings).DontShowWelcome();
    CheckDlgButton(dialog_, IDC_WELCOME_DONTSHOW, dontShow ? BST_CHECKED : BST_UNCHECKED);

    for (const QuickLinkEntry& entry : kQuickLinks) {
      LocalizeControl(entry.stringId, strings_, dialog_, entry.control);
      auto link = std::make_unique<QuickLink>(entry.subLink ? subLinkFont_.get() : linkFont_.get(), handCursor_,
                                              [this](const std::wstring& text) { ScrollToHeading(text); });
      if (link->Attach(GetDlgItem(dialog_, entry.control), error_)) links_.push_back(std::move(link));
    }
  }

  void FillText() {
    HWND edit = GetDlgItem(dialog_, IDC_WELCOME_TEXT);
    if (!edit) {
      error_.Report(L"WelcomeDialog: no rich edit %d, the text is not shown", IDC_WELCOME_TEXT);
      return;
    }
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(this);
    stream.pfnCallback = StreamIn;
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) error_.Report(L"WelcomeDialog: EM_STREAMIN stopped with %u", static_cast<unsigned>(stream.dwError));

    CHARRANGE all{0, -1};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_ALIGNMENT;
    format.dxStartIndent = kTextIndent;
    format.dxRightIndent = kTextIndent;
    format.wAlignment = PFA_LEFT;
    if (!SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format))) {
      error_.Report(L"WelcomeDialog: EM_SETPARAFORMAT failed");
    }
    // Back to the start, or the whole text would show selected once the control has the focus.
    CHARRANGE start{0, 0};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  }

  // The heading that carries the link's text becomes the first visible line.
  void ScrollToHeading(const std::wstring& text) {
    HWND edit = GetDlgItem(dialog_, IDC_WELCOME_TEXT);
    if (!edit || text.empty()) return;
    FINDTEXTEXW find{};
    find.chrg = {0, -1};
    find.lpstrText = text.c_str();
    if (SendMessageW(edit, EM_FINDTEXTEXW, FR_DOWN | FR_WHOLEWORD, reinterpret_cast<LPARAM>(&find)) < 0) return;
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
    const auto line = static_cast<int>(SendMessageW(edit, EM_EXLINEFROMCHAR, 0, find.chrgText.cpMin));
    POINT top{0, 0};
    SendMessageW(edit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageW(edit, EM_LINESCROLL, 0, line);
    // Some rich edits scroll a line by a fixed step whatever the line's height: where the heading
    // did not land on the first line, the rest is scrolled by pixels.
    const auto lineStart = static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    POINTL heading{};
    SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&heading), lineStart);
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const LONG offset = heading.y - format.top;
    if (offset != 0) {
      POINT position{};
      SendMessageW(edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
      position.y += offset;
      if (position.y < 0) position.y = 0;
      SendMessageW(edit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
    }
  }

  void StoreSwitch() {
    const bool dontShow = IsDlgButtonChecked(dialog_, IDC_WELCOME_DONTSHOW) == BST_CHECKED;
    if (!request_.settings || !Settings(*request_.settings).SetDontShowWelcome(dontShow)) {
      error_.Report(L"WelcomeDialog: DontShowWelcome could not be stored");
    }
  }

  void End() {
    HWND dialog = dialog_;
    if (!dialog) return;
    dialog_ = nullptr;
    if (HWND owner = GetParent(dialog)) SetForegroundWindow(owner);
    win::CheckWin32(error_, EndDialog(dialog, 0) != FALSE, L"EndDialog", L"welcome dialog");
  }

  const WelcomeRequest& request_;
  StringTable& strings_;
  HWND dialog_ = nullptr;
  RtfStream rtfText_;
  HCURSOR handCursor_ = nullptr;  // shared, not destroyed
  win::UniqueFont linkFont_;
  win::UniqueFont subLinkFont_;
  // Declared after the fonts: the links go first (the controls are gone by then anyway).
  std::vector<std::unique_ptr<QuickLink>> links_;
  MvError error_;
};

}  // namespace

const QuickLinkEntry (&QuickLinkEntries())[9] { return kQuickLinks; }

INT_PTR ShowWelcome(HWND owner, const WelcomeRequest& request) {
  if (request.checkRegistryVisibility && request.settings && Settings(*request.settings).DontShowWelcome()) return 0;
  return WelcomeDialog(request).Run(owner);
}

}  // namespace tessaly
