#include "UninstallProgressDialog.h"

#include "DebugLog.h"
#include "DialogObject.h"
#include "MvError.h"
#include "P2PUninstaller_win.h"
#include "P2pSignature.h"
#include "ScanRecords.h"
#include "SharedFolderMappings.h"
#include "SharedProperties.h"
#include "StringTable.h"
#include "TextConvert.h"
#include "UiBridge.h"
#include "UninstallDialogResources.h"
#include "Win32Check.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace tessaly {
namespace {

class UninstallProgressDialog {
 public:
  explicit UninstallProgressDialog(const UninstallProgressRequest& request)
      : request_(request), language_(request.language ? request.language : &LanguageTable()) {}
  ~UninstallProgressDialog() {
    if (worker_.joinable()) worker_.join();
  }

  int Run(HWND owner) {
    owner_ = owner;
    if (!bridge_.Ready()) {
      error_.Report(L"UninstallP2P: no UI bridge, the dialog could not be ended");
      return kUninstallFailed;
    }
    HINSTANCE instance = request_.instance ? request_.instance : GetModuleHandleW(nullptr);
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_UNINSTALLPROGRESS), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    // The run may still be tidying up (its batch file) after it ended the dialog.
    if (worker_.joinable()) worker_.join();
    if (result == -1) {
      win::CheckWin32(error_, false, L"DialogBoxParamW", L"uninstall progress (138)");
      return kUninstallFailed;
    }
    return result == kUninstallSucceeded && workerResult_ == kUninstallSucceeded ? kUninstallSucceeded
                                                                                : kUninstallFailed;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win::DialogObject<UninstallProgressDialog>(window, message, lParam);
    if (!self) return FALSE;
    return win::GuardedDialogMessage(self->error_, L"UninstallP2P", message, [&]() -> INT_PTR {
      return self->Message(window, message, wParam);
    });
  }

  INT_PTR Message(HWND window, UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        window_ = window;
        win::CheckWin32(error_, SetWindowTextW(window, GetString(false, L"IDS_UNINSTALLINGFILESHARINGSOFTWARE", *language_)) != FALSE,
                        L"SetWindowTextW", L"uninstall progress caption");
        win::CheckWin32(error_,
                        SetDlgItemTextW(window, IDC_UNINSTALL_PLEASEWAIT,
                                        GetString(false, L"IDS_PLEASEWAITWHILETHEP2PISBEINGUNINSTALLED", *language_)) != FALSE,
                        L"SetDlgItemTextW", L"uninstall progress text");
        try {
          worker_ = std::thread([this] { Uninstall(); });
        } catch (const std::system_error&) {
          error_.Report(L"UninstallP2P: the uninstall thread could not be started");
          End(kUninstallFailed);
        }
        return TRUE;
      case WM_COMMAND:
        // Escape and Enter: the attempt cannot be abandoned halfway.
        return LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK;
      case WM_CLOSE:
        // Ending now would leave the uninstaller running and report an unknown outcome.
        return TRUE;
      default:
        return FALSE;
    }
  }

  void End(int result) {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    if (owner_) SetForegroundWindow(owner_);
    EndDialog(window, result);
  }

  // From the worker: the dialog ends on the user-interface thread.
  void PostEnd(int result) {
    workerResult_ = result;
    bridge_.Post([this, result] { End(result); });
  }

  void Uninstall() {
    Sleep(request_.settleMs);
    PostEnd(Attempt());
  }

  int Attempt() {
    ScanFile* file = request_.file;
    if (!file || !request_.mappings) return kUninstallFailed;
    const std::wstring exePath = FullPath(file->folder) + file->name;
    const P2pSignature* signature = SignatureOf(*file);
    if (!signature) {
      error_.Report(L"UninstallP2P: CurFile is missing extra data, CurFile(%s)", exePath);
      return kUninstallFailed;
    }
    const wchar_t* key = request_.mappings->UninstallTextFor(signature->name);
    if (!key || !*key) {
      error_.Report(L"UninstallP2P: Failed to find key for FileSignature(%s), FilePath(%s)", signature->name, exePath);
      return kUninstallFailed;
    }
    P2PUninstaller uninstaller(request_.programFolder, request_.uninstallString, request_.settleMs);
    uninstaller.events.AddBinaryEventProc(kEventUninstallStop, OnUninstallStop, this);
    if (uninstaller.Run(exePath, key)) {
      DebugPrint(L"Uninstalled P2P Application with success, %s\r\n", std::wstring(key));
      return kUninstallSucceeded;
    }
    error_.Report(L"Failed to uninstall P2P Application, %s", std::wstring(key));
    return kUninstallFailed;
  }

  // The dialog goes as soon as the outcome is known; the run then only tidies up.
  static int32_t OnUninstallStop(void* data, void* context) {
    auto* uninstaller = static_cast<P2PUninstaller*>(data);
    auto* self = static_cast<UninstallProgressDialog*>(context);
    if (uninstaller && self) self->PostEnd(uninstaller->Succeeded() ? kUninstallSucceeded : kUninstallFailed);
    return 0;
  }

  UninstallProgressRequest request_;
  StringTable* language_;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;
  MvError error_;
  UiBridge bridge_;
  std::atomic<int> workerResult_{kUninstallFailed};
  std::thread worker_;
};

}  // namespace

int RunUninstallProgressDialog(HWND owner, const UninstallProgressRequest& request) {
  UninstallProgressDialog dialog(request);
  return dialog.Run(owner);
}

}  // namespace tessaly
