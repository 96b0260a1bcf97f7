// The signature file reader over arbitrary bytes: every decoded record must lie inside the input.
#include "P2pSignature.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessaly::SignatureDatabase database;
  const auto result = tessaly::DecodeSignatureBuffer(data, size, database);
  uint64_t bytes = 0;
  for (const auto* signature : database.Signatures()) {
    bytes += tessaly::kSignatureRecordFixedSize - 5 + static_cast<uint64_t>(signature->nameLength);
  }
  if (result.records != database.signatures.count || bytes > size) std::abort();
  return 0;
}
