// The Soulseek shared.cfg reader over arbitrary bytes, from both start offsets.
#include "P2pFinders.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring older = tessaly::ParseSharedCfg(bytes, 0);
  const std::wstring later = tessaly::ParseSharedCfg(bytes, 10);
  (void)older;
  (void)later;
  return 0;
}
