// Helpers for driving real windows in a test: pumping messages, answering message boxes from a
// helper thread, the language and configuration tables of the shipped files.
#pragma once

#include "StringTable.h"
#include "TextConvert.h"
#include "VolumeApi.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace tessaly::test {

// A Windows path from the build's Unix-style path ("/work/x" -> "Z:\work\x\").
inline std::wstring WindowsFolder(const char* unixPath) {
  std::wstring path = L"Z:" + AnsiToWide(unixPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  if (path.back() != L'\\') path += L'\\';
  return path;
}

inline std::wstring ProgramFolder() { return WindowsFolder(TESSALY_PROGRAM_DIR); }

// A computer without volumes: the scan walks only the folders it is given.
class NoDrives final : public VolumeApi {
 public:
  bool UsesDriveLetters() const override { return true; }
  uint32_t LogicalDriveMask() override { return 0; }
  std::vector<std::wstring> VolumeNames() override { return {}; }
  std::optional<std::wstring> FirstMountPath(const std::wstring& name) override { return name; }
  std::optional<std::wstring> Label(const std::wstring&) override { return std::nullopt; }
  uint32_t DriveTypeOf(const std::wstring&) override { return kDriveFixed; }
  bool FreeSpace(const std::wstring&, FreeSpaceInfo&) override { return false; }
};

// Dispatches this thread's messages until done() or the time-out; done()'s last answer. A quit
// message met on the way is reported through sawQuit.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000, bool* sawQuit = nullptr) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return done();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT && sawQuit) *sawQuit = true;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  }
  return true;
}

// The first visible dialog (#32770) of a thread, or null.
inline HWND FindThreadDialog(DWORD threadId) {
  HWND found = nullptr;
  EnumThreadWindows(
      threadId,
      [](HWND window, LPARAM param) -> BOOL {
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
          *reinterpret_cast<HWND*>(param) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Presses a button (OK unless told) of the first dialog that a thread shows, from a thread of its
// own.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(DWORD threadId, int button = IDOK)
      : thread_([this, threadId, button] {
          const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
          while (!stop_ && std::chrono::steady_clock::now() < end) {
            if (HWND box = FindThreadDialog(threadId)) {
              wchar_t caption[256] = {};
              GetWindowTextW(box, caption, 256);
              caption_ = caption;
              wchar_t text[1024] = {};
              GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the message's static control
              text_ = text;
              answered_ = true;
              PostMessageW(box, WM_COMMAND, button, 0);
              return;
            }
            Sleep(10);
          }
        }) {}
  ~MessageBoxAnswerer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // Waits for the helper: the caption of the box it answered, empty when none came.
  std::wstring Finish() {
    if (thread_.joinable()) thread_.join();
    return caption_;
  }
  // After Finish: whether a dialog came, and the message it showed.
  bool Answered() const { return answered_; }
  const std::wstring& Text() const { return text_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> answered_{false};
  std::wstring caption_;
  std::wstring text_;
  std::thread thread_;
};

// The shipped language resource and configuration file, loaded once per process.
inline StringTable& ShippedLanguage() {
  static StringTable* table = [] {
    auto* t = new StringTable;
    HMODULE library = LoadLibraryW((ProgramFolder() + L"Tessres.dll").c_str());
    if (library) {
      HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(1), L"XMLLanguage");
      if (found) {
        const DWORD bytes = SizeofResource(library, found);
        const auto* data = static_cast<const wchar_t*>(LockResource(LoadResource(library, found)));
        std::wstring text(data, bytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        LoadLanguageXMLData(*t, text);
      }
      FreeLibrary(library);
    }
    SelectLanguage(*t, L"English(UK)");
    return t;
  }();
  return *table;
}

inline StringTable& ShippedConfiguration() {
  static StringTable* table = [] {
    auto* t = new StringTable;
    LoadConfigurationFile(ProgramFolder() + L"ConfigurationFile.xml", *t);
    return t;
  }();
  return *table;
}

}  // namespace tessaly::test
