// The running program and the system it runs on: its folder, its version resource, the Windows
// version. The texts live in static buffers that the next call of the same function overwrites.
#pragma once

namespace tessaly {

// Folder of the running program, ending in the path separator.
const wchar_t* ModuleFolder();
// ProductVersion of the running program's version resource; empty when there is none.
const wchar_t* ProductVersionText();

bool IsWindowsVersion4();  // Windows 95/98/Me/NT 4
bool IsWindows2000();      // version 5.0

}  // namespace tessaly
