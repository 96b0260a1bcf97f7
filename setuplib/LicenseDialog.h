// The licence-agreement dialog (template 139): the licence text from an RTF file in a rich-edit
// control, with the choice between I Agree and I Disagree.
#pragma once

#include "StringTable.h"

#include <windows.h>

#include <string>

namespace tessaly {

// Modal with owner on template 139 of instance, showing the RTF file at rtfPath. 0 when I Agree
// was chosen, 5 when Next was pressed without agreeing, 1602 when the dialog was closed.
INT_PTR RunLicenseDialog(HINSTANCE instance, HWND owner, StringTable& language, const std::wstring& rtfPath);

}  // namespace tessaly
