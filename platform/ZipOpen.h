// Opening a ZIP file for listing by its wide path, whatever characters the path holds.
#pragma once

#include <unzip.h>

#include <string>

namespace tessaly {

// Null when minizip cannot open the file or does not take it for a ZIP archive.
unzFile OpenZipForListing(const std::wstring& path);

}  // namespace tessaly
