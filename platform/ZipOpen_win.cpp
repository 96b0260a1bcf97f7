#include "ZipOpen.h"

#include "LongPath.h"

#include <iowin32.h>

namespace tessaly {

// The wide file functions open any path: an ANSI path would lose the characters outside the
// code page and the archive would not be found.
unzFile OpenZipForListing(const std::wstring& path) {
  zlib_filefunc64_def functions{};
  fill_win32_filefunc64W(&functions);
  const std::wstring wide = ExtendedLengthPath(path);
  return unzOpen2_64(wide.c_str(), &functions);
}

}  // namespace tessaly
