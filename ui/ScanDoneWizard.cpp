#include "ScanDoneWizard.h"

#include "DialogObject.h"
#include "Localize.h"
#include "ScanRecords.h"
#include "SharedProperties.h"
#include "TextConvert.h"
#include "WelcomeDialogResources.h"
#include "Win32Check.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

namespace tessaly {
namespace {

constexpr int kFileTypeWidth = 200;
constexpr int kCountWidth = 110;
constexpr int kProgramWidth = 400;
constexpr int kLongestProgramText = 512;

// Page 1: one row per kind, with the count it shows.
constexpr struct {
  const wchar_t* textId;
  const wchar_t* countProperty;
} kSummaryRows[] = {
    {L"IDS_FILESHARINGSOFTWARE", kWizardP2pCount},
    {L"IDS_MUSICFILES", kWizardMusicCount},
    {L"IDS_VIDEOFILES", kWizardVideoCount},
    {L"IDS_IMAGEFILES", kWizardImageCount},
};

}  // namespace

ScanDoneWizard::ScanDoneWizard(StringTable& strings, HINSTANCE instance)
    : MvControl(L"IDD_SCANDONE"), strings_(strings), instance_(instance) {}

std::wstring ScanDoneWizard::Text(const wchar_t* id) const { return GetString(false, id, strings_); }

INT_PTR ScanDoneWizard::Run(HWND owner) {
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_SCANDONE), owner, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (result == -1) {
    win::CheckWin32(error_, false, L"DialogBoxParamW", L"scan-done wizard (132)");
    return 0;
  }
  return result;
}

INT_PTR CALLBACK ScanDoneWizard::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = win::DialogObject<ScanDoneWizard>(window, message, lParam);
  if (!self) return FALSE;
  return win::GuardedDialogMessage(self->error_, L"ScanDoneWizard", message, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) {
      self->dialog_ = window;
      self->hwnd = window;
    }
    return self->Message(message, wParam);
  });
}

INT_PTR ScanDoneWizard::Message(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialize();
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wParam)) {
        case IDC_WIZARD_NEXT:
          if (step >= 2) {
            Finish();
            End();
          } else {
            ShowWizardStep(step + 1);
          }
          return TRUE;
        case IDC_WIZARD_BACK:
          if (step > 0) ShowWizardStep(step - 1);
          return TRUE;
        case IDC_WIZARD_CANCEL:
        case IDCANCEL:  // Escape
          End();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(background_.get());
    case WM_CLOSE:
      End();
      return TRUE;
    default:
      return FALSE;
  }
}

void ScanDoneWizard::Initialize() {
  background_.reset(win::CheckedHandle(error_, CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)), L"CreateSolidBrush", L"white"));
  step = 0;
  LocalizeControl(L"IDS_BACK", strings_, dialog_, IDC_WIZARD_BACK);
  LocalizeControl(L"IDS_NEXT", strings_, dialog_, IDC_WIZARD_NEXT);
  LocalizeControl(L"IDS_CANCEL", strings_, dialog_, IDC_WIZARD_CANCEL);
  if (HWND list = GetDlgItem(dialog_, IDC_WIZARD_LIST)) {
    resultList_ = std::make_unique<MvListView>(L"ListViewFileResults", list);
  } else {
    error_.Report(L"ScanDoneWizard: no list view %d, the pages show their texts only", IDC_WIZARD_LIST);
  }
  ShowWizardStep(0);
}

void ScanDoneWizard::ShowWizardStep(int page) {
  step = page < 0 ? 0 : (page > 2 ? 2 : page);
  switch (step) {
    case 0: ShowSummary(); break;
    case 1: ShowPrograms(); break;
    default: ShowConfirmation(); break;
  }
}

void ScanDoneWizard::SetPageTexts(const wchar_t* captionId, const wchar_t* bodyId) {
  LocalizeControl(captionId, strings_, dialog_, -1);
  LocalizeControl(bodyId, strings_, dialog_, IDC_WIZARD_BODY);
}

void ScanDoneWizard::SetNextText(const wchar_t* id) { LocalizeControl(id, strings_, dialog_, IDC_WIZARD_NEXT); }

void ScanDoneWizard::ClearColumns() {
  // Up to two columns of an earlier page.
  for (int i = 0; i < 2; ++i) SendMessageW(resultList_->hwnd, LVM_DELETECOLUMN, 0, 0);
  resultList_->columnCount = 0;
}

namespace {
// At least the given width, wider where a language's header text would be cut.
int HeaderWidth(HWND list, const std::wstring& header, int width) {
  constexpr int kHeaderPadding = 24;  // the header's margins on both sides
  const auto text = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(header.c_str())));
  return text > 0 ? std::max(width, text + kHeaderPadding) : width;
}
}  // namespace

void ScanDoneWizard::ShowSummary() {
  SetPageTexts(L"IDS_SCANDONE_STEP1_TITLE", L"IDS_SCANDONE_STEP1_BODY");
  EnableWindow(GetDlgItem(dialog_, IDC_WIZARD_BACK), FALSE);
  SetNextText(L"IDS_NEXT");
  if (!resultList_) return;
  MvListView& list = *resultList_;
  SendMessageW(list.hwnd, LVM_REMOVEALLGROUPS, 0, 0);
  SendMessageW(list.hwnd, LVM_DELETEALLITEMS, 0, 0);
  ClearColumns();
  list.InsertColumn(Text(L"IDS_FILETYPE").c_str(), kFileTypeWidth);
  list.InsertColumn(Text(L"IDS_NUMBEROFFILES").c_str(), HeaderWidth(list.hwnd, Text(L"IDS_NUMBEROFFILES"), kCountWidth));
  SendMessageW(list.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0);
  list.Enable(true);
  for (const auto& row : kSummaryRows) {
    const int index = list.AddItem(-1, Text(row.textId).c_str(), 0);
    if (index < 0) continue;
    const auto count = static_cast<int32_t>(NumberProperty(properties, row.countProperty));
    list.SetItemText(index, 1, FormatPrintf(L"%d", count).c_str());
  }
}

void ScanDoneWizard::ShowPrograms() {
  EnableWindow(GetDlgItem(dialog_, IDC_WIZARD_BACK), TRUE);
  SetNextText(L"IDS_NEXT");
  if (resultList_) {
    MvListView& list = *resultList_;
    UpdateWindow(list.hwnd);
    list.Show(SW_SHOWNORMAL);
    ClearColumns();
    list.InsertColumn(Text(L"IDS_FILESHARINGSOFTWARE").c_str(), kProgramWidth);
    SendMessageW(list.hwnd, LVM_REMOVEALLGROUPS, 0, 0);
    SendMessageW(list.hwnd, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    int copied = 0;
    auto* programs = static_cast<MvListView*>(GetProperty(kWizardP2pList));
    if (NumberProperty(properties, kWizardP2pCount) != 0 && programs && programs->ItemCount() > 0) {
      const int rows = programs->ItemCount();
      for (int row = 0; row < rows; ++row) {
        const LPARAM record = programs->GetItemData(row);
        // A row without a record would hand the uninstaller nothing to work on.
        if (!record) continue;
        const std::wstring text = programs->GetItemText(row, 0, kLongestProgramText);
        if (list.AddItem(-1, text.c_str(), record) >= 0) ++copied;
      }
    }
    list.SetCheckAll(0, false);  // every program starts unchecked
    list.Enable(copied > 0);
  }
  SetPageTexts(L"IDS_SCANDONE_STEP2_TITLE", L"IDS_SCANDONE_STEP2_BODY");
}

void ScanDoneWizard::ShowConfirmation() {
  EnableWindow(GetDlgItem(dialog_, IDC_WIZARD_BACK), TRUE);
  SetNextText(L"IDS_FINISH");
  if (resultList_) resultList_->Show(SW_HIDE);  // its check marks stay for Finish
  SetPageTexts(L"IDS_SCANDONE_STEP3_TITLE", L"IDS_SCANDONE_STEP3_BODY");
}

void ScanDoneWizard::Finish() {
  if (!resultList_) return;
  uninstallList_ = std::make_unique<MvLinkedList>();
  const int rows = resultList_->ItemCount();
  for (int row = 0; row < rows; ++row) {
    if (!resultList_->IsChecked(row)) continue;
    auto* file = reinterpret_cast<ScanFile*>(resultList_->GetItemData(row));
    if (file) uninstallList_->Add(file->name.c_str(), file);
  }
  SetProperty(kUninstallP2pList, uninstallList_.get());
}

void ScanDoneWizard::End() {
  HWND dialog = dialog_;
  if (!dialog) return;
  dialog_ = nullptr;
  if (HWND owner = GetParent(dialog)) SetForegroundWindow(owner);
  win::CheckWin32(error_, EndDialog(dialog, 0) != FALSE, L"EndDialog", L"scan-done wizard");
  // The list view goes with the dialog.
  resultList_.reset();
  hwnd = nullptr;
}

}  // namespace tessaly
