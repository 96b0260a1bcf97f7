#include "UpdateDialogModel.h"

#include "StringTable.h"

namespace tessaly {

UpdateDialogView ViewOf(UpdateDialogState state) {
  switch (state) {
    case UpdateDialogState::Asking:
      return {L"IDS_CHECKFORUPDATES", true, L"IDS_NO", true, true, true, L"IDS_WILLBERECORDED", false, 0};
    case UpdateDialogState::Checking:
      return {L"IDS_CHECKINGFORUPDATES", false, L"IDS_CANCEL", true, false, false, nullptr, false, 0};
    case UpdateDialogState::NoUpdates:
      return {L"IDS_NOUPDATESAVAILABLE", false, L"IDS_CANCEL", false, false, false, nullptr, false, 2000};
    case UpdateDialogState::Downloading:
      return {L"IDS_DOWNLOADINGUPDATES", false, L"IDS_CANCEL", true, false, true, L"IDS_READY", true, 0};
    case UpdateDialogState::Launching:
      return {L"IDS_DOWNLOADINGUPDATES", false, L"IDS_CANCEL", false, false, true, nullptr, true, 700};
  }
  return ViewOf(UpdateDialogState::Asking);
}

CheckReference ChooseCheckReference(const std::optional<std::wstring>& lastDate,
                                    const std::optional<std::wstring>& lastTime, std::wstring buildDate,
                                    std::wstring buildTime) {
  if (lastDate && lastTime) return {*lastDate, *lastTime, true};
  return {std::move(buildDate), std::move(buildTime), false};
}

UpdateStep StepFor(std::wstring_view resultText) {
  if (resultText == L"CHECK_COMPLETED") return UpdateStep::CompareManifest;
  if (resultText == L"DOWNLOAD_COMPLETED") return UpdateStep::LaunchUpdater;
  if (resultText.find(L"FAILED") != std::wstring_view::npos) return UpdateStep::ShowNoUpdates;
  return UpdateStep::Ignore;
}

std::wstring DownloadingStatusText(uint64_t expectedBytes, StringTable& table) {
  std::wstring text = GetString(false, L"IDS_DOWNLOADINGUPDATES", table);
  text += L' ';
  text += FormatByteSize(static_cast<double>(expectedBytes), table);
  return text;
}

std::optional<std::wstring> AboutVersionText(std::wstring_view productVersion) {
  if (productVersion.empty()) return std::nullopt;
  return std::wstring(productVersion);
}

uint64_t ExpectedBytes(const std::vector<UpdateFile>& files) {
  uint64_t total = 0;
  for (const UpdateFile& file : files) {
    if (file.fileName.empty()) break;
    total += file.size;
  }
  return total;
}

}  // namespace tessaly
