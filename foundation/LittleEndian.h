// Little-endian integers in byte buffers (file formats: signatures, RAR blocks, client settings).
// The caller checks that the bytes are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessaly {

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline uint16_t ReadLe16(std::string_view bytes, size_t offset) {
  return ReadLe16(reinterpret_cast<const uint8_t*>(bytes.data() + offset));
}

inline uint32_t ReadLe32(std::string_view bytes, size_t offset) {
  return ReadLe32(reinterpret_cast<const uint8_t*>(bytes.data() + offset));
}

inline void WriteLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace tessaly
