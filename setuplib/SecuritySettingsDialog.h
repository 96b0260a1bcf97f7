// The security-settings dialog of the installation (template 141): the login password, typed
// twice, a security question (a suggestion is filled in) and its answer. Next checks the entries
// in a fixed order, naming the first rule broken in a message box; when all hold, the entries are
// handed to the store and the dialog ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tessaly {

class StringTable;

struct SecuritySettings {
  std::wstring password;
  std::wstring question;
  std::wstring answer;
};

// Keeps the settings (the login's password store); false when they could not be kept.
using SecuritySettingsStore = std::function<bool(const SecuritySettings&)>;

inline constexpr int kSecuritySettingsStored = 0;
inline constexpr int kSecuritySettingsCancelled = 5;  // Cancel, the close box, or the store failed
inline constexpr int kSecuritySettingsNotShown = -1;  // the dialog could not run (reported)

// Modal over owner (may be null) with template 141 of instance; texts from language.
int RunSecuritySettingsDialog(HINSTANCE instance, StringTable& language, const SecuritySettingsStore& store,
                              HWND owner = nullptr);

}  // namespace tessaly
