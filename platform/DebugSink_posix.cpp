#include "DebugSink.h"

#include "TextConvert.h"

#include <cstdio>
#include <cstdlib>

namespace tessaly {

void DeliverDebugLine(const std::wstring& line) {
  static const bool enabled = std::getenv("TESSALY_DEBUG") != nullptr;
  if (!enabled) return;
  std::string bytes = WideToNative(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

}  // namespace tessaly
