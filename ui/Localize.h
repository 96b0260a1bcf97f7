// Localisation of dialog controls and menus from a string table. Dialog and menu
// resources carry string IDs as their texts; these calls replace them by the texts of the current
// language. Window and menu handles are passed as HWND / HMENU.
#pragma once

#include "StringTable.h"

#include <windows.h>

#include <cstdint>

namespace tessaly {

// Records the binding (window, control, string ID) in the table and sets the text: of the window
// itself when controlId is negative, else of its control controlId. True when the text was set.
bool LocalizeControl(const wchar_t* stringId, StringTable& table, HWND window, int32_t controlId);

// Replaces the string IDs that stand as item texts in menu (the window's menu when null) and all
// its submenus by their texts; each item keeps a copy of its string ID as item data. Then redraws
// the window's menu bar.
void LocalizeMenu(StringTable& table, HWND window, HMENU menu = nullptr);

}  // namespace tessaly
