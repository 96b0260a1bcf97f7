// The header chain of a RAR 5.0 archive: signature 52 61 72 21 1A 07 01 00, then headers of
//   CRC32 (4) | size (vint) | type (vint) | flags (vint) | [extra size (vint)] | [data size (vint)]
//   | fields of the type | extra area | and, after the header, the data area.
// A vint is 7 bits a byte, lowest group first, the high bit set on every byte but the last.
// Only what the listing needs is read: file headers (name, unpacked size, directory flag, time).
// A header whose CRC does not match, a size that would leave the file or not move forward, or an
// encryption header (everything after it is encrypted) ends the list, as a broken RAR 4 block
// list does.
#pragma once

#include "Crc32.h"
#include "LittleEndian.h"
#include "RarBlockList.h"

#include <cstring>
#include <limits>

namespace tessaly::rar {

inline constexpr uint8_t kRar5Signature[8] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};

// Largest header the format allows (2 MiB) plus its CRC and size fields.
inline constexpr uint64_t kRar5HeaderLimit = 2 * 1024 * 1024;

enum Rar5HeaderType : uint64_t { kMainHeader = 1, kFileHeader = 2, kServiceHeader = 3, kEncryptionHeader = 4, kEndHeader = 5 };

inline constexpr uint64_t kHeaderHasExtra = 0x0001;
inline constexpr uint64_t kHeaderHasData = 0x0002;
inline constexpr uint64_t kFileIsDirectory = 0x0001;
inline constexpr uint64_t kFileHasTime = 0x0002;
inline constexpr uint64_t kFileHasCrc = 0x0004;
inline constexpr uint64_t kFileSizeUnknown = 0x0008;
inline constexpr uint64_t kExtraFileTime = 0x03;
inline constexpr uint64_t kTimeIsUnix = 0x0001;
inline constexpr uint64_t kTimeHasModified = 0x0002;

// Reads the fields of one header, never past its end; any failed read leaves ok() false.
class Rar5Fields {
 public:
  Rar5Fields(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}

  uint64_t Vint() {
    uint64_t value = 0;
    for (int shift = 0; shift < 70; shift += 7) {
      if (position_ >= size_) break;
      const uint8_t byte = data_[position_++];
      if (shift == 63 && (byte & 0x7E)) break;  // more than 64 bits
      value |= static_cast<uint64_t>(byte & 0x7F) << shift;
      if (!(byte & 0x80)) return value;
    }
    ok_ = false;
    return 0;
  }
  uint32_t U32() {
    if (position_ > size_ || size_ - position_ < 4) {
      ok_ = false;
      return 0;
    }
    const uint32_t value = ReadLe32(data_ + position_);
    position_ += 4;
    return value;
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | static_cast<uint64_t>(U32()) << 32;
  }
  // `count` bytes from here, or null.
  const uint8_t* Bytes(uint64_t count) {
    if (position_ > size_ || count > size_ - position_) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* at = data_ + position_;
    position_ += count;
    return at;
  }
  void Skip(uint64_t count) { Bytes(count); }
  uint64_t position() const { return position_; }
  uint64_t size() const { return size_; }
  bool ok() const { return ok_; }

 private:
  const uint8_t* data_;
  uint64_t size_;
  uint64_t position_ = 0;
  bool ok_ = true;
};

// The modification time from the file-time record of an extra area, when it has one.
inline void ReadRar5FileTime(const uint8_t* extra, uint64_t size, RarEntry& entry) {
  Rar5Fields area(extra, size);
  while (area.ok() && area.position() < area.size()) {
    const uint64_t recordSize = area.Vint();
    const uint8_t* record = area.Bytes(recordSize);
    if (!area.ok()) return;
    Rar5Fields fields(record, recordSize);
    if (fields.Vint() != kExtraFileTime || !fields.ok()) continue;
    const uint64_t flags = fields.Vint();
    if (!(flags & kTimeHasModified)) return;
    if (flags & kTimeIsUnix) {
      const uint32_t seconds = fields.U32();
      if (fields.ok()) entry.fileTime = seconds;
    } else {
      const uint64_t filetime = fields.U64();  // 100 ns steps since 1601
      constexpr uint64_t kUnixEpoch = 116444736000000000ull;
      if (fields.ok() && filetime >= kUnixEpoch) {
        const uint64_t seconds = (filetime - kUnixEpoch) / 10000000ull;
        entry.fileTime = seconds > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                         : static_cast<uint32_t>(seconds);
      }
    }
    return;
  }
}

// Whether the archive starts with the RAR 5.0 signature.
template <typename Bytes>
bool HasRar5Signature(Bytes& bytes) {
  const uint8_t* start = bytes.At(0, sizeof kRar5Signature);
  return start && std::memcmp(start, kRar5Signature, sizeof kRar5Signature) == 0;
}

// Calls onEntry(const RarEntry&) for every file header that is not a folder, in archive order,
// until it returns false; returns how many were announced. The entry's storedName is the whole
// UTF-8 name (utf8Name set), its unpackedSize 0 when the archive does not know it.
template <typename Bytes, typename OnEntry>
size_t ReadRar5Headers(Bytes& bytes, OnEntry&& onEntry) {
  if (!HasRar5Signature(bytes)) return 0;
  uint64_t cursor = sizeof kRar5Signature;
  size_t entries = 0;
  for (;;) {
    // The CRC and the size field: a size of at most 2 MiB takes at most 3 vint bytes.
    const uint64_t left = bytes.Size() > cursor ? bytes.Size() - cursor : 0;
    const uint8_t* lead = bytes.At(cursor, std::min<uint64_t>(left, 7));
    if (!lead || left < 5) break;
    Rar5Fields prefix(lead + 4, std::min<uint64_t>(left, 7) - 4);
    const uint64_t headerSize = prefix.Vint();
    if (!prefix.ok() || headerSize < 2 || headerSize > kRar5HeaderLimit) break;
    const uint64_t sizeField = prefix.position();
    const uint64_t total = 4 + sizeField + headerSize;
    const uint8_t* whole = bytes.At(cursor, total);
    if (!whole) break;
    if (Crc32(whole + 4, static_cast<size_t>(sizeField + headerSize)) != ReadLe32(whole)) break;

    Rar5Fields header(whole + 4 + sizeField, headerSize);
    const uint64_t type = header.Vint();
    const uint64_t flags = header.Vint();
    const uint64_t extraSize = (flags & kHeaderHasExtra) ? header.Vint() : 0;
    const uint64_t dataSize = (flags & kHeaderHasData) ? header.Vint() : 0;
    if (!header.ok() || extraSize > headerSize) break;

    const uint64_t afterHeader = cursor + total;
    if (dataSize > std::numeric_limits<uint64_t>::max() - afterHeader) break;
    const uint64_t next = afterHeader + dataSize;

    if (type == kEncryptionHeader || type == kEndHeader) break;
    if (type == kFileHeader) {
      RarEntry entry;
      const uint64_t fileFlags = header.Vint();
      const uint64_t unpacked = header.Vint();
      entry.attributes = static_cast<uint32_t>(header.Vint());
      if (fileFlags & kFileHasTime) entry.fileTime = header.U32();
      if (fileFlags & kFileHasCrc) entry.fileCrc = header.U32();
      const uint64_t compression = header.Vint();
      entry.hostOs = static_cast<uint8_t>(header.Vint());
      const uint64_t nameSize = header.Vint();
      const uint8_t* name = header.Bytes(nameSize);
      const uint64_t extraStart = headerSize - extraSize;
      if (!header.ok() || header.position() > extraStart) break;
      entry.unpackVersion = static_cast<uint8_t>(compression & 0x3F);
      entry.method = static_cast<uint8_t>((compression >> 7) & 0x07);
      entry.unpackedSize = (fileFlags & kFileSizeUnknown) ? 0 : unpacked;
      entry.packedSize = dataSize;
      entry.storedName = std::string_view(reinterpret_cast<const char*>(name), static_cast<size_t>(nameSize));
      entry.nameSize = static_cast<uint16_t>(std::min<uint64_t>(nameSize, 0xFFFF));
      entry.utf8Name = true;
      if (!(fileFlags & kFileHasTime) && extraSize > 0) {
        ReadRar5FileTime(whole + 4 + sizeField + extraStart, extraSize, entry);
      }
      if (!(fileFlags & kFileIsDirectory)) {
        ++entries;
        if (!onEntry(entry)) break;
      }
    }
    if (next <= cursor) break;
    cursor = next;
  }
  return entries;
}

}  // namespace tessaly::rar
