// Names of the scan events. Binary events carry a pointer, string events a wide text. Views, so
// that firing one per file does not measure the name each time.
#pragma once

#include <string_view>

namespace tessaly {

inline constexpr std::wstring_view kScanStartedEvent = L"[DISKSCANEVENT_ONSCANSTARTEDBINARY]";
inline constexpr std::wstring_view kNewFolderFoundEvent = L"[DISKSCANEVENT_ONNEWFOLDERFOUND]";
inline constexpr std::wstring_view kNewFileFoundEvent = L"[DISKSCANEVENT_ONNEWFILEFOUND]";
inline constexpr std::wstring_view kScanFinishedEvent = L"[DISKSCANEVENT_ONSCANFINISHEDBINARY]";

}  // namespace tessaly
