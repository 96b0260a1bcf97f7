// The options dialog (template 136): the four size limits (MB) that decide which music and video
// files a scan reports. OK stores every field that is not empty as typed, in the settings and in
// the configuration table; an emptied field changes nothing, and no range is checked.
#pragma once

#include "Settings.h"
#include "StringTable.h"

#include <windows.h>

#include <array>
#include <cstdint>

namespace tessaly {

struct OptionsRequest {
  HINSTANCE instance = GetModuleHandleW(nullptr);  // holds template 136
  StringTable* language = nullptr;                 // the texts; null means LanguageTable()
  StringTable* configuration = nullptr;            // gets the typed values; null means ConfigurationTable()
  SettingsStore* settings = nullptr;               // gets the typed values
  // The limits shown, in the order of kSizeSettings.
  std::array<int32_t, 4> limits{};
};

// 0 when it was closed (whichever way), -1 when it could not be shown (reported).
INT_PTR RunOptionsDialog(HWND owner, const OptionsRequest& request);

}  // namespace tessaly
