// The standard CRC-32 (polynomial 0xEDB88320, as in ZIP and RAR), eight bytes a step.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly {

// The CRC of `size` bytes; pass the previous result as `crc` to continue over a second piece.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace tessaly
