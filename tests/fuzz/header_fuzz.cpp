// The header recogniser and the classification over arbitrary first bytes.
#include "FileRecognition.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessaly::HeaderKind kind;
  const bool recognised = tessaly::RecogniseHeader(data, size, kind);
  if (recognised != (kind.category != 0)) __builtin_trap();

  // The same bytes as a 2 MiB file with no matching name: the content decides.
  tessaly::MediaSettings settings;
  settings.minSoundSize = 1;
  settings.maxSoundSize = 20;
  settings.minVideoSize = 1;
  settings.maxVideoSize = 20;
  const auto result = tessaly::ClassifyFile(L"file.bin", 2u << 20, settings, {},
                                            [&](uint8_t* buffer, size_t capacity) {
                                              const size_t n = std::min(size, capacity);
                                              if (n) std::memcpy(buffer, data, n);
                                              return n;
                                            });
  if (!result.contentExamined || result.header.category != kind.category) __builtin_trap();
  return 0;
}
