// Answers the modal dialogs and message boxes that a test's thread shows, from a thread of its
// own: each step waits for a visible dialog with its caption, reads what the test wants from it
// and presses a button (or closes it).
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tessaly::test {

// A visible "#32770" window of thread with this caption, other than `skip`, or null.
inline HWND FindDialogCaptioned(DWORD thread, const std::wstring& caption, const std::vector<HWND>& skip = {},
                                const std::function<bool(HWND)>& which = {}) {
  struct Search {
    const std::wstring* caption;
    const std::vector<HWND>* skip;
    const std::function<bool(HWND)>* which;
    HWND found;
  } search{&caption, &skip, &which, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t className[32] = {}, text[256] = {};
        GetClassNameW(window, className, 32);
        // Only then the caption: GetWindowTextW sends WM_GETTEXT, which a thread that is not in a
        // message loop (joining this one, say) would never answer.
        if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        GetWindowTextW(window, text, 256);
        bool skipped = false;
        for (HWND answered : *s->skip) skipped = skipped || answered == window;
        if (!skipped && *s->caption == text && (!*s->which || (*s->which)(window))) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text of a message box (its static 0xFFFF).
inline std::wstring MessageBoxText(HWND box) {
  wchar_t text[4096] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 4096);
  return text;
}

class DialogDriver {
 public:
  struct Step {
    std::wstring caption;
    std::function<void(HWND)> look;  // on the driver's thread, before the button
    int button;                      // IDOK, IDCANCEL, or 0 to send WM_CLOSE
    std::function<bool(HWND)> which = {};  // when set, only a dialog it accepts (same captions)
  };

  DialogDriver(DWORD thread, std::vector<Step> steps)
      : thread_([this, thread, steps = std::move(steps)] {
          std::vector<HWND> answered;  // a dialog may stay open under the next one (its message box)
          for (const Step& step : steps) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            HWND dialog = nullptr;
            while (!stop_ && !(dialog = FindDialogCaptioned(thread, step.caption, answered, step.which))) {
              if (std::chrono::steady_clock::now() > end) return;
              Sleep(10);
            }
            if (!dialog) return;
            if (step.look) step.look(dialog);
            if (step.button == 0) {
              PostMessageW(dialog, WM_CLOSE, 0, 0);
            } else {
              // As a click on the button: BN_CLICKED from the button's window.
              PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, step.button)));
            }
            answered.push_back(dialog);
            ++answered_;
          }
        }) {}
  ~DialogDriver() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // Waits for the driver; how many steps found their dialog.
  int Finish() {
    if (thread_.joinable()) thread_.join();
    return answered_;
  }
  // Stops the driver where it is, for a step whose dialog must not come; how many steps found
  // their dialog.
  int Stop() {
    stop_ = true;
    return Finish();
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::thread thread_;
};

}  // namespace tessaly::test
