// Names of the scan events. Binary events carry a pointer, string events a wide text.
#pragma once

namespace tessaly {

inline constexpr const wchar_t* kScanStartedEvent = L"[DISKSCANEVENT_ONSCANSTARTEDBINARY]";
inline constexpr const wchar_t* kNewFolderFoundEvent = L"[DISKSCANEVENT_ONNEWFOLDERFOUND]";
inline constexpr const wchar_t* kNewFileFoundEvent = L"[DISKSCANEVENT_ONNEWFILEFOUND]";
inline constexpr const wchar_t* kScanFinishedEvent = L"[DISKSCANEVENT_ONSCANFINISHEDBINARY]";

}  // namespace tessaly
