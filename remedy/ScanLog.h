// The scan log: a plain-text record of a finished scan, UTF-16LE without byte-order mark, CR LF.
#pragma once

#include "Clock.h"
#include "MvLinkedList.h"

#include <string>

namespace tessaly {

// The localised texts the log is written with.
struct ScanLogTexts {
  std::wstring musicFiles;       // IDS_MUSICFILES
  std::wstring videoFiles;       // IDS_VIDEOFILES
  std::wstring p2pApplications;  // IDS_P2PAPPLICATIONS
};

// The log text for the results kept on `properties` ("ScanMusicFilesFound", "ScanMusicFileList",
// ...). A missing count is 0, a missing list is skipped, entries without a record are skipped.
std::wstring FormatScanLog(const MvLinkedList& properties, const ScanLogTexts& texts, const SystemTime& now);

// Writes the log to `path` (created or truncated). False when the file cannot be written.
bool WriteScanLog(const std::wstring& path, const MvLinkedList& properties, const ScanLogTexts& texts);

// The name the save command writes to: ".txt" is appended to a name longer than 4 characters
// that does not already end in it (any case); shorter names are used as typed. The dialog's
// buffer holds 1040 characters, so the result never grows past 1039.
std::wstring ScanLogFileName(const std::wstring& chosen);

}  // namespace tessaly
