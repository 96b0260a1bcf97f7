#include "ZipOpen.h"

#include "TextConvert.h"

namespace tessaly {

unzFile OpenZipForListing(const std::wstring& path) { return unzOpen64(WideToNative(path).c_str()); }

}  // namespace tessaly
