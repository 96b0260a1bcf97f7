#include "P2pBlockRules.h"

#include "CaseFold.h"
#include "DebugLog.h"

namespace tessaly {

std::wstring BlockValueData(int32_t middleSum) { return FormatPrintf(L"Block: %d", middleSum); }

bool IsBlockValueData(std::wstring_view data) { return StartsWithNoCase(data, L"Block:"); }

std::wstring BlockLookupName(std::wstring_view exeName) {
  size_t dot = exeName.rfind(L'.');
  if (dot == std::wstring_view::npos || !EqualsNoCase(exeName.substr(dot), L".exe")) return {};
  size_t slash = exeName.rfind(L'\\');
  std::wstring_view name = exeName;
  if (slash != std::wstring_view::npos && slash + 1 < exeName.size()) name = exeName.substr(slash + 1);
  return ToLower(name);
}

bool IsProtectedProcess(uint32_t processId, std::wstring_view lookupName, uint32_t selfId,
                        std::wstring_view selfLookupName) {
  if (processId == selfId || processId == 0 || processId == 4) return true;
  if (!selfLookupName.empty() && EqualsNoCase(lookupName, selfLookupName)) return true;
  // A value named after one of these (by mistake or on purpose) would bring the session down.
  static constexpr std::wstring_view kSystem[] = {
      L"system",       L"smss.exe",     L"csrss.exe",    L"wininit.exe",  L"winlogon.exe", L"services.exe",
      L"lsass.exe",    L"lsm.exe",      L"svchost.exe",  L"explorer.exe", L"dwm.exe",      L"conhost.exe",
      L"taskmgr.exe",  L"spoolsv.exe",  L"userinit.exe", L"wineserver",   L"winedevice.exe", L"plugplay.exe",
      L"rpcss.exe",    L"tessaly.exe",
  };
  for (std::wstring_view s : kSystem)
    if (EqualsNoCase(lookupName, s)) return true;
  return false;
}

}  // namespace tessaly
