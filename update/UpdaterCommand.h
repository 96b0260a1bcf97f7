// The hand-over to the updater program: the one parameter string the program passes to
// "Updater.exe", its parsing on the other side, and the temporary names of downloads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr const wchar_t* kUpdatedFilesFolder = L"UpdatedFiles";
inline constexpr const wchar_t* kUpdaterProgram = L"Updater.exe";

struct UpdaterCommand {
  std::wstring mutexCode;
  std::wstring sourceFolder;       // programFolder + "UpdatedFiles" + separator
  std::wstring destinationFolder;  // programFolder
  std::wstring executeOnEnd;
  std::wstring executeOnEndParameters;
};

// programFolder ends in the path separator. "MutexCode=...;SourceFolderPath=...;
// DestinationFolderPath=...;ExecuteOnEnd=...;ExecuteOnEndParameters=-silent".
std::wstring UpdaterParameters(std::wstring_view mutexCode, std::wstring_view programFolder,
                               std::wstring_view executeOnEnd);

// The keys must appear in the order above; each value runs up to the next key, so folders may
// hold ';'. Nothing when a key is missing.
std::optional<UpdaterCommand> ParseUpdaterParameters(std::wstring_view text);

// The parameter part of a raw command line: what follows the (possibly quoted) program name.
std::wstring_view CommandLineArguments(std::wstring_view commandLine);

// The 16 bytes of a GUID in the layout of the Win32 GUID structure.
struct UpdateGuid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

// "%08x%04x%04x%08x%08x": Data1, Data2, Data3, then Data4 bytes 0-3 and 4-7 each read as a
// little-endian 32-bit value.
std::wstring TemporaryDownloadName(const UpdateGuid& guid);
// A name of that form (32 lower-case hex digits): a download that never completed.
bool IsTemporaryDownloadName(std::wstring_view name);

inline constexpr const wchar_t* kUpdaterLogName = L"Updater.log";

// What the updater copies from "UpdatedFiles": every plain file name except unfinished downloads
// and its own log.
bool IsInstallableUpdateFile(std::wstring_view name);

}  // namespace tessaly
