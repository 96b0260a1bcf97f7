// A window as it stands on the screen, written as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly::test {

// Copies the window's rectangle from the screen (so child windows and owned pop-ups on top are
// in the picture) and writes it to path. False, with a message on standard error, on failure.
bool SaveWindowImage(HWND window, const std::wstring& path);

}  // namespace tessaly::test
