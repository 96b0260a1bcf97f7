// The RAR 5.0 header reader over arbitrary bytes behind its signature: every read must stay inside
// them, a broken chain must end the list, and names of any bytes must decode.
#include "RarBlockList.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kSignature[8] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
  std::vector<uint8_t> bytes(sizeof kSignature + size);
  std::memcpy(bytes.data(), kSignature, sizeof kSignature);
  if (size > 0) std::memcpy(bytes.data() + sizeof kSignature, data, size);
  const uint8_t* begin = bytes.data();
  const uint8_t* end = begin + bytes.size();
  size_t names = 0;
  const size_t entries = tessaly::ReadRarBlockList(begin, bytes.size(), [&](const tessaly::RarEntry& entry) {
    const auto* name = reinterpret_cast<const uint8_t*>(entry.storedName.data());
    if (!entry.utf8Name || name < begin || name + entry.storedName.size() > end) __builtin_trap();
    names += tessaly::RarMemberName(entry).size();
  });
  // A file header takes at least 13 bytes.
  if (entries > bytes.size() / 13) __builtin_trap();
  return 0;
}
