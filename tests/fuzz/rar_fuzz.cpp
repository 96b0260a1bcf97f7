// The RAR block reader over arbitrary bytes: every read must stay inside them, and the list must
// end. Each entry's name is decoded too, as the listing does.
#include "RarBlockList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t names = 0;
  const size_t entries = tessaly::ReadRarBlockList(data, size, [&](const tessaly::RarEntry& entry) {
    if (!entry.utf8Name && entry.storedName.size() > tessaly::kRarNameLimit) __builtin_trap();
    if (entry.storedName.size() > size) __builtin_trap();
    names += tessaly::RarMemberName(entry).size();
  });
  // Every block moves the cursor on by at least 7 bytes.
  if (entries > size / 7) __builtin_trap();
  return 0;
}
