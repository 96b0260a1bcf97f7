// The welcome dialog (template 104): the introduction text of the string table in a rich edit, a
// column of quick links that scroll their heading to the top, and the switch that keeps the
// dialog from opening at start-up ("DontShowWelcome", stored the moment the box is clicked).
#pragma once

#include "SettingsStore.h"
#include "StringTable.h"

#include <windows.h>

namespace tessaly {

struct WelcomeRequest {
  HINSTANCE instance = GetModuleHandleW(nullptr);  // holds template 104
  StringTable* language = nullptr;                 // null means LanguageTable()
  SettingsStore* settings = nullptr;               // where the start-up switch is kept
  // At start-up the stored switch is honoured; from the Help menu the dialog always opens.
  bool checkRegistryVisibility = false;
};

// 0 in every case: also when the switch skipped the dialog, and when it could not be shown
// (reported), since a missing introduction is no reason to stop the program.
INT_PTR ShowWelcome(HWND owner, const WelcomeRequest& request);

// The control IDs of the quick links, from the heading down, and the string ID of each one's text.
struct QuickLinkEntry {
  int control;
  const wchar_t* stringId;
  bool subLink;  // indented, drawn in italics
};
const QuickLinkEntry (&QuickLinkEntries())[9];

}  // namespace tessaly
