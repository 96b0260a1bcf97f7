#include "AboutDialog.h"

#include "Localize.h"
#include "MvError.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "UpdateDialogModel.h"
#include "UpdateDialogResources.h"
#include "Win32Check.h"

#include <exception>

namespace tessaly {
namespace {

struct AboutState {
  const AboutDialogSetup* setup;
  HWND owner;
  MvError error;
};

void Finish(HWND window, AboutState& state) {
  if (state.owner) SetForegroundWindow(state.owner);
  EndDialog(window, 0);
}

INT_PTR AboutMessage(HWND window, UINT message, WPARAM wParam, AboutState& state) {
  switch (message) {
    case WM_INITDIALOG: {
      if (state.setup->language) {
        LocalizeControl(L"IDS_ABOUT", *state.setup->language, window, -1);
        LocalizeControl(L"IDS_OK", *state.setup->language, window, IDOK);
      }
      const std::wstring version =
          state.setup->productVersion.empty() ? std::wstring(ProductVersionText()) : state.setup->productVersion;
      if (auto text = AboutVersionText(version)) SetDlgItemTextW(window, IDC_ABOUT_VERSION, text->c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
      Finish(window, state);
      return TRUE;
    case WM_CLOSE:
      Finish(window, state);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* state = reinterpret_cast<AboutState*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!state) return FALSE;
  try {
    return AboutMessage(window, message, wParam, *state);
  } catch (const std::exception& failure) {
    state->error.Report(L"AboutDialog: message %u failed: %s", message, AnsiToWide(failure.what()));
  } catch (...) {
    state->error.Report(L"AboutDialog: message %u failed", message);
  }
  return FALSE;
}

}  // namespace

INT_PTR RunAboutDialog(const AboutDialogSetup& setup, HWND owner) {
  AboutState state{&setup, owner, {}};
  const INT_PTR result = DialogBoxParamW(setup.instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc,
                                         reinterpret_cast<LPARAM>(&state));
  if (result == -1) win::CheckWin32(state.error, false, L"DialogBoxParamW", L"about dialog (143)");
  return result;
}

}  // namespace tessaly
