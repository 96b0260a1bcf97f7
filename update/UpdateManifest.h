// The update manifest and the values the update check compares: dates in the mm-dd-yyyy form or
// the compiler's "Mmm dd yyyy" form, times hh:mm:ss, the check address, and which manifest
// entries are newer than the local reference.
//
//   <MorvaneSoftware><Tessaly><Updater>
//     <File Date="07-29-2009" Time="11:17:40" Build="1.3.1.171" FileName="Tessaly.exe"
//           Size="123456" SHA256="...">http://host/Tessaly.exe</File>
//   </Updater></Tessaly></MorvaneSoftware>
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Comparable day number: year * 10000 + month index * 100 + day; 0 when the text cannot be read.
// Ten characters read as mm?dd?yyyy (any separators); a month that is not positive gives 0.
// Eleven characters read as "Jul 29 2009" (day may have a leading space).
int32_t DateValue(std::wstring_view text);
// Seconds of hh:mm:ss; 0 for any text that is not eight characters long.
int32_t TimeValue(std::wstring_view text);

struct UpdateFile {
  std::wstring date;
  std::wstring time;
  std::wstring build;
  std::wstring fileName;
  std::wstring url;
  uint32_t size = 0;
  std::wstring sha256;  // hex digest; empty when the manifest gives none
};

// Every File child of MorvaneSoftware/<productElement>/Updater, in document order. A manifest
// without these elements yields none.
std::vector<UpdateFile> ReadManifestFiles(std::wstring_view manifest, const wchar_t* productElement);

// Later date, or the same date and a later time.
bool IsNewerThan(const UpdateFile& file, std::wstring_view localDate, std::wstring_view localTime);

// checkUrl + "?PV=" + version + "&NT=" + ("FALSE" on a version-4 Windows, else "TRUE").
std::wstring CheckAddress(std::wstring_view checkUrl, std::wstring_view productVersion, bool windowsVersion4);

// A manifest FileName may only name a file directly inside the download folder: no separator,
// drive or stream colon, no "." or "..", no reserved device name (CON, NUL, COM1 ...), no
// character Windows refuses in names, no trailing dot or space (Windows drops them, so the name
// would alias another).
bool IsSafeUpdateFileName(std::wstring_view name);

}  // namespace tessaly
