#include "DeleteDialog.h"

#include "DeleteDialogResources.h"
#include "DialogObject.h"
#include "FileDeletion.h"
#include "Localize.h"
#include "MvError.h"
#include "MvListView.h"
#include "ScanRecords.h"
#include "StringTable.h"
#include "TextConvert.h"
#include "WinHandles.h"
#include "Win32Check.h"

#include <commctrl.h>

#include <exception>

namespace tessaly {
namespace {

constexpr int kNameColumnWidth = 200;
constexpr int kPathColumnWidth = 290;

// The rows of the result list being deleted from.
class ListRows final : public DeletionRows {
 public:
  explicit ListRows(MvListView& list) : list_(list) {}
  int Count() const override { return list_.ItemCount(); }
  bool IsChecked(int row) const override { return list_.IsChecked(row); }
  ScanFile* FileAt(int row) const override { return reinterpret_cast<ScanFile*>(list_.GetItemData(row)); }
  bool Remove(int row) override { return list_.DeleteItem(row); }

 private:
  MvListView& list_;
};

class DeleteDialog {
 public:
  explicit DeleteDialog(const DeleteDialogRequest& request)
      : request_(request), language_(request.language ? *request.language : LanguageTable()) {}

  int Run(HWND owner) {
    HINSTANCE instance = request_.instance ? request_.instance : GetModuleHandleW(nullptr);
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DELETEFILES), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1) {
      win::CheckWin32(error_, false, L"DialogBoxParamW", L"delete dialog (137)");
      return 0;
    }
    return static_cast<int>(result);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<DeleteDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"DeleteDialog", message, [&]() -> INT_PTR {
      if (message == WM_INITDIALOG) self->window_ = window;
      return self->Message(message, wParam, lParam);
    });
  }

  INT_PTR Message(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG:
        Initialize();
        return TRUE;
      case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        if (LOWORD(wParam) == IDOK) {
          DeleteListed();
          End(0);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {  // the Cancel button, and Escape
          End(2);
          return TRUE;
        }
        return FALSE;
      case WM_CTLCOLORSTATIC:
        // The texts stand on the white panel.
        return reinterpret_cast<INT_PTR>(whiteBrush_.get());
      case WM_CLOSE:
        End(0);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void Initialize() {
    whiteBrush_.reset(win::CheckedHandle(error_, CreateSolidBrush(RGB(255, 255, 255)), L"CreateSolidBrush", L"white"));
    win::CheckWin32(error_, SetWindowTextW(window_, request_.title.c_str()) != FALSE, L"SetWindowTextW", L"caption");
    SetDlgItemTextW(window_, IDC_DELETE_BODYTOP, request_.bodyTop.c_str());
    SetDlgItemTextW(window_, IDC_DELETE_BODYMIDDLEBOLD, request_.bodyMiddleBold.c_str());
    SetDlgItemTextW(window_, IDC_DELETE_BODYBOTTOM, request_.bodyBottom.c_str());
    LocalizeControl(L"IDS_OK", language_, window_, IDOK);
    LocalizeControl(L"IDS_CANCEL", language_, window_, IDCANCEL);
    boldFont_.reset(win::CheckedHandle(error_, CreateFontW(14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"),
                                       L"CreateFontW", L"Tahoma 14 bold"));
    if (boldFont_) {
      SendDlgItemMessageW(window_, IDC_DELETE_BODYMIDDLEBOLD, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()),
                          FALSE);
    }

    HWND listWindow = GetDlgItem(window_, IDC_DELETE_FILELIST);
    if (!listWindow) return;
    list_ = std::make_unique<MvListView>(L"ListViewSelectedFiles", listWindow);
    SendMessageW(listWindow, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    list_->InsertColumn(GetString(false, L"IDS_FILENAME", language_), kNameColumnWidth);
    list_->InsertColumn(GetString(false, L"IDS_FILEPATH", language_), kPathColumnWidth);
    if (MvListView* source = request_.fileList) {
      const int count = source->ItemCount();
      for (int row = 0; row < count; ++row) {
        auto* file = reinterpret_cast<ScanFile*>(source->GetItemData(row));
        if (file && source->IsChecked(row)) Append(*file);
      }
    } else if (request_.file) {
      Append(*request_.file);
    }
  }

  void Append(ScanFile& file) {
    const int row = list_->AddItem(-1, file.name.c_str(), reinterpret_cast<LPARAM>(&file));
    if (row >= 0) list_->SetItemText(row, 1, FullPath(file.folder).c_str());
  }

  // Only what the opener's list has checked now is deleted; the P2P uninstaller's single file is
  // never deleted here.
  void DeleteListed() {
    if (!request_.fileList) return;
    ListRows rows(*request_.fileList);
    const DeletionReport report = DeleteCheckedFiles(rows, [this](const std::wstring& path) {
      return win::CheckWin32(error_, DeleteFileW(path.c_str()) != FALSE, L"DeleteFileW", path);
    });
    const DeletionWarningTexts texts{GetString(false, L"IDS_ONEORMOREFILESSHOULDBEDELETEDMANUALLY", language_),
                                     GetString(false, L"IDS_FILESCOULDNOTBEDELETED", language_)};
    const std::wstring warning = DeletionWarning(report, texts);
    if (warning.empty()) return;
    MessageBoxW(window_, warning.c_str(), GetString(false, L"IDS_WARNING", language_), MB_OK | MB_ICONEXCLAMATION);
  }

  void End(int result) {
    HWND window = window_;
    window_ = nullptr;
    if (HWND owner = GetParent(window)) SetForegroundWindow(owner);
    win::CheckWin32(error_, EndDialog(window, result) != FALSE, L"EndDialog", L"delete dialog");
  }

  const DeleteDialogRequest& request_;
  StringTable& language_;
  HWND window_ = nullptr;  // null while the dialog is not open
  win::UniqueBrush whiteBrush_;
  win::UniqueFont boldFont_;
  std::unique_ptr<MvListView> list_;
  MvError error_;
};

}  // namespace

int RunDeleteDialog(HWND owner, const DeleteDialogRequest& request) { return DeleteDialog(request).Run(owner); }

}  // namespace tessaly
