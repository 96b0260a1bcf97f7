// Drives a login dialog of a test's thread from a thread of its own: types into its fields,
// presses its buttons and answers the error boxes it shows, recording their texts.
#pragma once

#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "LoginDialogResources.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tessaly::test {

// The first visible dialog of thread with a password field: a login dialog in any language.
inline HWND FindLoginDialog(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM param) -> BOOL {
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (std::wstring(className) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, IDC_LOGIN_PASSWORD)) {
          *reinterpret_cast<HWND*>(param) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class LoginDriver {
 public:
  // script runs on the driver's thread once the dialog is up; it gets the driver to act through.
  LoginDriver(DWORD thread, std::function<void(LoginDriver&)> script)
      : testThread_(thread), thread_([this, script = std::move(script)] {
          const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
          while (!(login_ = FindLoginDialog(testThread_)) && std::chrono::steady_clock::now() < end) Sleep(10);
          if (login_) script(*this);
        }) {}
  ~LoginDriver() { Finish(); }
  LoginDriver(const LoginDriver&) = delete;
  LoginDriver& operator=(const LoginDriver&) = delete;

  void Finish() {
    if (thread_.joinable()) thread_.join();
  }
  bool Found() const { return login_.load() != nullptr; }
  // The texts of the error boxes answered, in order.
  const std::vector<std::wstring>& Errors() const { return errors_; }

  HWND Login() const { return login_; }
  void Type(int id, const std::wstring& text) const {
    SendDlgItemMessageW(login_, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Click(int id) const {
    PostMessageW(login_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(login_, id)));
  }
  void Close() const { PostMessageW(login_, WM_CLOSE, 0, 0); }
  // Waits for the "Error" box the last click brought up, records its text, presses OK and waits
  // until it has gone. False when none came.
  bool AnswerError() {
    HWND box = Wait(L"Error");
    if (!box) return false;
    errors_.push_back(MessageBoxText(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (IsWindow(box) && std::chrono::steady_clock::now() < end) Sleep(10);
    return true;
  }
  bool Visible(int id) const { return IsWindowVisible(GetDlgItem(login_, id)) != FALSE; }
  std::wstring Text(int id) const {
    wchar_t text[512] = {};
    GetDlgItemTextW(login_, id, text, 512);
    return text;
  }

 private:
  HWND Wait(const wchar_t* caption) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      if (HWND found = FindDialogCaptioned(testThread_, caption)) return found;
      Sleep(10);
    }
    return nullptr;
  }

  DWORD testThread_;
  std::atomic<HWND> login_{nullptr};
  std::vector<std::wstring> errors_;
  std::thread thread_;
};

// Logs in with password (Cancel when null) and then answers the next dialog of the thread with
// button, recording its caption: the login that comes before a command's own dialog.
class LoginThenAnswer {
 public:
  LoginThenAnswer(const wchar_t* password, int button)
      : thread_(GetCurrentThreadId()), driver_(thread_, [this, password, button](LoginDriver& d) {
          if (!password) {
            d.Click(IDCANCEL);
            return;
          }
          d.Type(IDC_LOGIN_PASSWORD, password);
          d.Click(IDOK);
          const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
          while (IsWindow(d.Login()) && std::chrono::steady_clock::now() < end) Sleep(10);
          if (button == 0) return;
          while (std::chrono::steady_clock::now() < end) {
            if (HWND next = FindThreadDialog(thread_)) {
              wchar_t caption[256] = {};
              GetWindowTextW(next, caption, 256);
              caption_ = caption;
              answered_ = true;
              PostMessageW(next, WM_COMMAND, button, 0);
              return;
            }
            Sleep(10);
          }
        }) {}
  // Waits for the helper; the caption of the dialog answered after the login.
  std::wstring Finish() {
    driver_.Finish();
    return caption_;
  }
  bool LoginShown() const { return driver_.Found(); }
  bool Answered() const { return answered_; }

 private:
  DWORD thread_;
  std::atomic<bool> answered_{false};
  std::wstring caption_;
  LoginDriver driver_;
};

}  // namespace tessaly::test
