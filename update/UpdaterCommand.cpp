#include "UpdaterCommand.h"

#include "DebugLog.h"
#include "Paths.h"
#include "UpdateManifest.h"

#include <array>
#include <cwctype>

namespace tessaly {
namespace {

constexpr std::array<std::wstring_view, 5> kKeys = {L"MutexCode=", L";SourceFolderPath=",
                                                    L";DestinationFolderPath=", L";ExecuteOnEnd=",
                                                    L";ExecuteOnEndParameters="};

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

std::wstring UpdaterParameters(std::wstring_view mutexCode, std::wstring_view programFolder,
                               std::wstring_view executeOnEnd) {
  std::wstring text;
  text += kKeys[0];
  text += mutexCode;
  text += kKeys[1];
  text += programFolder;
  text += kUpdatedFilesFolder;
  text += kPathSeparator;
  text += kKeys[2];
  text += programFolder;
  text += kKeys[3];
  text += executeOnEnd;
  text += kKeys[4];
  text += L"-silent";
  return text;
}

std::optional<UpdaterCommand> ParseUpdaterParameters(std::wstring_view text) {
  if (!text.starts_with(kKeys[0])) return std::nullopt;
  std::array<std::wstring, 5> values;
  size_t valueStart = kKeys[0].size();
  for (size_t k = 1; k <= kKeys.size(); ++k) {
    size_t end = text.size();
    if (k < kKeys.size()) {
      end = text.find(kKeys[k], valueStart);
      if (end == std::wstring_view::npos) return std::nullopt;
    }
    values[k - 1] = std::wstring(text.substr(valueStart, end - valueStart));
    if (k < kKeys.size()) valueStart = end + kKeys[k].size();
  }
  // A command line may carry a trailing line break or blanks.
  while (!values[4].empty() && (values[4].back() == L' ' || values[4].back() == L'\r' || values[4].back() == L'\n')) {
    values[4].pop_back();
  }
  return UpdaterCommand{values[0], values[1], values[2], values[3], values[4]};
}

std::wstring_view CommandLineArguments(std::wstring_view commandLine) {
  size_t i = 0;
  while (i < commandLine.size() && commandLine[i] == L' ') ++i;
  if (i < commandLine.size() && commandLine[i] == L'"') {
    size_t close = commandLine.find(L'"', i + 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return commandLine.substr(i);
}

std::wstring TemporaryDownloadName(const UpdateGuid& guid) {
  return FormatPrintf(L"%08x%04x%04x%08x%08x", guid.data1, guid.data2, guid.data3, LittleEndian32(guid.data4),
                      LittleEndian32(guid.data4 + 4));
}

bool IsTemporaryDownloadName(std::wstring_view name) {
  if (name.size() != 32) return false;
  for (wchar_t c : name) {
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
  }
  return true;
}

bool IsInstallableUpdateFile(std::wstring_view name) {
  if (!IsSafeUpdateFileName(name) || IsTemporaryDownloadName(name)) return false;
  std::wstring_view log = kUpdaterLogName;
  if (name.size() != log.size()) return true;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::towlower(name[i]) != std::towlower(log[i])) return true;
  }
  return false;
}

}  // namespace tessaly
