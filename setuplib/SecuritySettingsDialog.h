// The security-settings dialog (template 141 of Tessres.dll): the user chooses the login password
// (typed twice), a security question and its answer, which are then stored.
#pragma once

#include "StringTable.h"

#include <windows.h>

namespace tessaly {

// Modal without owner on template 141 of instance, with its texts from language. 0 when the
// settings were stored or the dialog was closed, 5 after Cancel.
INT_PTR RunSecuritySettingsDialog(HINSTANCE instance, StringTable& language);

}  // namespace tessaly
