// Answers the dialogs that Tessres.dll's custom actions show while msiexec runs (in a process of
// msiexec's): the licence (I Agree, Next), the security settings (a password, question and
// answer, Next) and the login before removal (the password and OK, or Cancel). Each step waits
// for the dialog that has a control only it has, answers it and waits until it has gone.
#pragma once

#include "SetupDialogResources.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tessaly::test {

template <typename F>
bool WaitUntil(F done, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return done();
    Sleep(20);
  }
  return true;
}

// The first visible dialog of any process that has a control with this id, or null.
inline HWND DialogWithControl(int controlId) {
  struct Search {
    int controlId;
    HWND found;
  } search{controlId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (std::wstring(className) != L"#32770" || !IsWindowVisible(window) || !GetDlgItem(window, s->controlId)) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline void ClickButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Answers the steps one after the other from a thread of its own, waiting up to timeoutMs for
// each dialog.
class SetupDialogAnswerer {
 public:
  struct Step {
    int recognisedBy;  // a control id only that dialog has
    std::function<void(HWND)> answer;
  };
  explicit SetupDialogAnswerer(std::vector<Step> steps, int timeoutMs = 60000)
      : thread_([this, timeoutMs, steps = std::move(steps)] {
          for (const Step& step : steps) {
            HWND dialog = nullptr;
            if (!WaitUntil([&] { return stop_ || (dialog = DialogWithControl(step.recognisedBy)) != nullptr; }, timeoutMs) ||
                !dialog) {
              return;
            }
            step.answer(dialog);
            ++answered_;
            WaitUntil([&] { return !IsWindow(dialog); }, 10000);
          }
        }) {}
  ~SetupDialogAnswerer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int Finish() {
    if (thread_.joinable()) thread_.join();
    return answered_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::thread thread_;
};

// The login dialog's password field (template 101).
inline constexpr int kLoginPassword = 1003;

inline SetupDialogAnswerer::Step AgreeToTheLicence() {
  return {IDC_LICENSE_TEXT, [](HWND dialog) {
            SendMessageW(GetDlgItem(dialog, IDC_LICENSE_IAGREE), BM_CLICK, 0, 0);
            ClickButton(dialog, IDOK);
          }};
}
inline SetupDialogAnswerer::Step ChooseThePassword(std::wstring password) {
  return {IDC_SECURITY_PASSWORD, [password](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_SECURITY_PASSWORD, password.c_str());
            SetDlgItemTextW(dialog, IDC_SECURITY_PASSWORDAGAIN, password.c_str());
            SetDlgItemTextW(dialog, IDC_SECURITY_QUESTION, L"First pet?");
            SetDlgItemTextW(dialog, IDC_SECURITY_ANSWER, L"Rex");
            ClickButton(dialog, IDC_SECURITY_NEXT);
          }};
}
// With an empty password: Cancel.
inline SetupDialogAnswerer::Step LogIn(std::wstring password) {
  return {kLoginPassword, [password](HWND dialog) {
            if (password.empty()) {
              ClickButton(dialog, IDCANCEL);
              return;
            }
            SetDlgItemTextW(dialog, kLoginPassword, password.c_str());
            ClickButton(dialog, IDOK);
          }};
}

}  // namespace tessaly::test
