// Which running processes the P2P blocker may end (portable).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// The per-user key the blocked programs are listed under, one value per executable name.
inline constexpr wchar_t kBlockedP2pKey[] = L"SOFTWARE\\Morvane Software\\Tessaly\\Blocked P2p Programs";

// The value data written when a program is blocked: "Block: %d" with the signature's middleSum.
std::wstring BlockValueData(int32_t middleSum);

// True when value data counts as an active block: it starts with "Block:" in any case.
bool IsBlockValueData(std::wstring_view data);

// The lower-case value name a process is looked up by: the part of its executable name after the
// last "\" (the whole name when that part is empty). Empty when the name does not end in ".exe".
std::wstring BlockLookupName(std::wstring_view exeName);

// Processes the blocker never ends whatever the list says: this process itself (by id or by its
// executable name), the idle and system processes, and the system's own programs.
bool IsProtectedProcess(uint32_t processId, std::wstring_view lookupName, uint32_t selfId, std::wstring_view selfLookupName);

}  // namespace tessaly
