// The block column of the P2P list: blocking a program (after a question) writes its registry
// value, which the blocker thread enforces; clicking a blocked program unblocks it at once.
#pragma once

#include <windows.h>

namespace tessaly {

class SettingsStore;
class StringTable;
struct ScanFile;

// Toggles the block of p2pFile (its "P2pBlocked" property and the value named after its file
// name) on the user-interface thread. A program is only marked blocked when its value was
// written, and only marked unblocked when the value is gone. True when the mark changed.
bool ToggleP2pBlock(HWND owner, ScanFile& p2pFile, SettingsStore& settings, StringTable* language = nullptr);

}  // namespace tessaly
