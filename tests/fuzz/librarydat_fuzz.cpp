// The finders' reader of this settings format over arbitrary bytes.
#include "P2pFinders.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring folders = tessaly::ParseLibraryDat(std::string_view(reinterpret_cast<const char*>(data), size));
  (void)folders;
  return 0;
}
