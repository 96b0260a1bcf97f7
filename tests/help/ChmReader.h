// A reader of the directory of a compiled HTML Help (.chm) file: the ITSF header, the ITSP
// directory header and its PMGL listing chunks, and the entries they list. Enough to know which
// pages a help file holds and where their bytes lie; it does not decompress page contents.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::test {

struct ChmEntry {
  std::string name;  // "/introduction.htm", "::DataSpace/NameList" (UTF-8, as stored)
  uint64_t section = 0;  // 0 uncompressed, 1 the compressed content section
  uint64_t offset = 0;  // within the section's data
  uint64_t length = 0;  // in the section's uncompressed data
};

struct ChmDirectory {
  uint32_t lcid = 0;  // locale of the file's texts
  std::vector<ChmEntry> entries;  // in listing order
  // Exact, case-sensitive name lookup; null when absent.
  const ChmEntry* Find(std::string_view name) const;
};

// Reads the directory of the file in bytes. On failure returns false and says why in error; a
// truncated or corrupt file never reads past its bytes.
bool ReadChmDirectory(std::string_view bytes, ChmDirectory& directory, std::string& error);

}  // namespace tessaly::test
