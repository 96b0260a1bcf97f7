// What the update dialog shows in each of its states, which reference the check compares with,
// and what a result of the updater leads to: plain data, so it is tested without a window.
#pragma once

#include "UpdateManifest.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

namespace tessaly {

// Control ids of dialog template 102.
inline constexpr int kUpdateStatusLine = 1006;
inline constexpr int kUpdateImportantLine = 1007;
inline constexpr int kUpdatePrivacyLine1 = 1008;
inline constexpr int kUpdatePrivacyLine2 = 1009;  // later the speed line
inline constexpr int kUpdateYesButton = 1004;
inline constexpr int kUpdateNoButton = 1005;      // later Cancel
inline constexpr int kUpdateProgressBar = 1010;
inline constexpr unsigned kUpdateCloseTimer = 1001;

enum class UpdateDialogState { Asking, Checking, NoUpdates, Downloading, Launching };

struct UpdateDialogView {
  const wchar_t* statusTextId;        // 1006
  bool yesEnabled;
  const wchar_t* noTextId;            // 1005: "IDS_NO", later "IDS_CANCEL"
  bool noEnabled;
  bool privacyShown;                  // 1007, 1008
  bool line2Shown;                    // 1009
  const wchar_t* line2TextId;         // 1009's text when it is set on entering the state, or null
  bool progressShown;                 // 1010
  uint32_t closeAfterMilliseconds;    // 0: the dialog stays
};

UpdateDialogView ViewOf(UpdateDialogState state);

// The registry's last check when both values are there, else the build stamp.
struct CheckReference {
  std::wstring date;
  std::wstring time;
  bool fromRegistry = false;
};
CheckReference ChooseCheckReference(const std::optional<std::wstring>& lastDate,
                                    const std::optional<std::wstring>& lastTime, std::wstring buildDate,
                                    std::wstring buildTime);

// What the dialog does with an updater result text.
enum class UpdateStep {
  CompareManifest,  // "CHECK_COMPLETED"
  LaunchUpdater,    // "DOWNLOAD_COMPLETED"
  ShowNoUpdates,    // any text containing "FAILED"
  Ignore,
};
UpdateStep StepFor(std::wstring_view resultText);

class StringTable;

// 1006 while files download: "IDS_DOWNLOADINGUPDATES" and the total in the size format.
std::wstring DownloadingStatusText(uint64_t expectedBytes, StringTable& table);

// Static 1049 of the about dialog: the product version; nothing (the template's "Version (N/A)"
// stays) when the program has no version resource.
std::optional<std::wstring> AboutVersionText(std::wstring_view productVersion);

// Sum of the manifest sizes of the files to download, up to the first entry without a name.
uint64_t ExpectedBytes(const std::vector<UpdateFile>& files);

}  // namespace tessaly
