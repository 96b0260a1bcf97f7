// The about box (template 143): the product name and maker from the template, the product
// version from the version resource in static 1049.
#pragma once

#include "StringTable.h"

#include <windows.h>

#include <string>

namespace tessaly {

struct AboutDialogSetup {
  HINSTANCE instance = GetModuleHandleW(nullptr);  // holds template 143
  StringTable* language = nullptr;                 // caption and button
  std::wstring productVersion;                     // the running program's when empty
};

// Modal with owner; 0 when it was closed, -1 when it could not be shown (reported).
INT_PTR RunAboutDialog(const AboutDialogSetup& setup, HWND owner);

}  // namespace tessaly
