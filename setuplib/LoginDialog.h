// The login dialog (template 101 of the calling deliverable): asks for the password, or, after
// "Forgot Password", shows the stored security question and asks for its answer. Tessaly.exe
// shows it at start-up and before the window comes back from the tray; Tessres.dll before the
// installer changes or removes the program (its template hides "Forgot Password").
#pragma once

#include "SettingsStore.h"
#include "StringTable.h"

#include <windows.h>

namespace tessaly {

inline constexpr INT_PTR kLoginAccepted = 0;
inline constexpr INT_PTR kLoginCancelled = 5;

struct LoginContext {
  StringTable* language = nullptr;    // the dialog's texts; null means LanguageTable()
  SettingsStore* settings = nullptr;  // the password store; null means the system's
  bool answerMode = false;            // set by "Forgot Password"; there is no way back
};

// Modal on template 101 of instance. kLoginAccepted when the password or the answer was accepted
// (also when the dialog was destroyed from outside), kLoginCancelled after Cancel or the close
// box, -1 when the dialog could not be shown (reported).
INT_PTR RunLoginDialog(HINSTANCE instance, HWND owner, LoginContext& context);

}  // namespace tessaly
