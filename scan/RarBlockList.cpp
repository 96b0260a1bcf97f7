#include "RarBlockList.h"

#include "LittleEndian.h"
#include "Rar5Headers.h"
#include "RarBytes.h"
#include "TextConvert.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace tessaly {
namespace {

constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};     // Rar!
constexpr uint8_t kOldMarker[7] = {0x55, 0x6E, 0x69, 0x71, 0x75, 0x45, 0x21};  // UniquE!
constexpr size_t kMainHeaderSize = 13;
constexpr size_t kBlockHeaderSize = 32;
constexpr size_t kHighSizesSize = 8;
constexpr uint8_t kFileBlock = 0x74;
constexpr uint8_t kOldSubBlock = 0x77;
// Longest name the Unicode form may decode to, in UTF-16 units.
constexpr size_t kDecodedNameLimit = 1024;

// The Unicode form that follows the zero byte of the name field: a high byte shared by the
// name, then groups of four 2-bit opcodes, each taking its operands from the stream.
std::vector<uint16_t> DecodeUnicodeName(std::string_view field, size_t zero) {
  std::vector<uint16_t> name;
  auto byteAt = [&](size_t i) -> uint8_t { return i < field.size() ? static_cast<uint8_t>(field[i]) : 0; };
  size_t pos = zero + 1;
  if (pos >= field.size()) return name;
  const uint16_t high = static_cast<uint16_t>(byteAt(pos++) << 8);
  uint8_t opcodes = 0;
  int opcodeBits = 0;
  while (pos < field.size() && name.size() < kDecodedNameLimit) {
    if (opcodeBits == 0) {
      opcodes = byteAt(pos++);
      opcodeBits = 8;
      if (pos >= field.size()) break;
    }
    switch (opcodes >> 6) {
      case 0:
        name.push_back(byteAt(pos++));
        break;
      case 1:
        name.push_back(static_cast<uint16_t>(byteAt(pos++) | high));
        break;
      case 2:
        if (pos + 1 >= field.size()) return name;
        name.push_back(static_cast<uint16_t>(byteAt(pos) | (byteAt(pos + 1) << 8)));
        pos += 2;
        break;
      default: {
        // A run copied from the ANSI form at the same positions, optionally shifted.
        const uint8_t length = byteAt(pos++);
        size_t count = (length & 0x7F) + 2;
        if (length & 0x80) {
          if (pos >= field.size()) return name;
          const uint8_t correction = byteAt(pos++);
          for (; count > 0 && name.size() < kDecodedNameLimit; --count) {
            const uint8_t ansi = name.size() < zero ? byteAt(name.size()) : 0;
            name.push_back(static_cast<uint16_t>(static_cast<uint8_t>(ansi + correction) | high));
          }
        } else {
          for (; count > 0 && name.size() < kDecodedNameLimit; --count) {
            name.push_back(name.size() < zero ? byteAt(name.size()) : 0);
          }
        }
        break;
      }
    }
    opcodes = static_cast<uint8_t>(opcodes << 2);
    opcodeBits -= 2;
  }
  return name;
}

std::wstring Utf16ToWide(const std::vector<uint16_t>& units) {
  std::wstring text;
  for (size_t i = 0; i < units.size(); ++i) {
    const uint16_t unit = units[i];
    if (unit == 0) break;
    if constexpr (sizeof(wchar_t) == 2) {
      text += static_cast<wchar_t>(unit);
    } else if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
               units[i + 1] < 0xE000) {
      text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit < 0xE000) {
      text += static_cast<wchar_t>(0xFFFD);
    } else {
      text += static_cast<wchar_t>(unit);
    }
  }
  return text;
}

// Most stored names are plain ASCII, which needs no code-page table: widen them in place, which
// reuses the capacity of a record's name from member to member. Others are UTF-8 when they are
// well-formed UTF-8 (archivers on Linux and macOS store them so, without the Unicode flag).
// `decode` converts a name that is not plain ASCII.
void AssignName(std::string_view bytes, std::wstring& name, std::wstring (*decode)(std::string_view)) {
  name.resize(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      name = decode(bytes);
      return;
    }
    name[i] = static_cast<wchar_t>(c);
  }
}

// `onEntry` returns false to end the list.
template <typename Bytes, typename OnEntry>
size_t ReadBlocks(Bytes& bytes, OnEntry&& onEntry) {
  if (rar::HasRar5Signature(bytes)) return rar::ReadRar5Headers(bytes, onEntry);
  const uint8_t* marker = bytes.At(0, sizeof kMarker + kMainHeaderSize);
  if (!marker) {
    // Not even a marker and a main header: a short file lists nothing either way.
    return 0;
  }
  if (std::memcmp(marker, kMarker, sizeof kMarker) != 0 && std::memcmp(marker, kOldMarker, sizeof kOldMarker) != 0) {
    return 0;  // an older or newer format
  }
  const uint64_t mainHeader = sizeof kMarker;
  uint64_t cursor = mainHeader + ReadLe16(marker + mainHeader + 5);

  size_t entries = 0;
  for (;;) {
    const uint8_t* block = bytes.At(cursor, kBlockHeaderSize);
    if (!block) break;
    const uint8_t type = block[2];
    const uint16_t flags = ReadLe16(block + 3);
    const uint16_t headerSize = ReadLe16(block + 5);
    if (headerSize < 7) break;

    RarEntry entry;
    entry.flags = flags;
    entry.packedSize = ReadLe32(block + 7);
    entry.unpackedSize = ReadLe32(block + 11);
    if (type == kFileBlock) {
      entry.hostOs = block[15];
      entry.fileCrc = ReadLe32(block + 16);
      entry.fileTime = ReadLe32(block + 20);
      entry.unpackVersion = block[24];
      entry.method = block[25];
      entry.nameSize = ReadLe16(block + 26);
      entry.attributes = ReadLe32(block + 28);
    }
    uint64_t nameOffset = cursor + kBlockHeaderSize;
    const bool largeFile = type == kFileBlock && (flags & kRarLargeFile);
    // The high size halves and the name in one read (`block` may not survive another).
    const size_t nameBytes = type == kFileBlock ? std::min<size_t>(entry.nameSize, kRarNameLimit) : 0;
    const uint8_t* tail = nullptr;
    if (type == kFileBlock) {
      tail = bytes.At(nameOffset, (largeFile ? kHighSizesSize : 0) + nameBytes);
      if (!tail) break;
    }
    if (largeFile) {
      entry.packedSize |= static_cast<uint64_t>(ReadLe32(tail)) << 32;
      entry.unpackedSize |= static_cast<uint64_t>(ReadLe32(tail + 4)) << 32;
      tail += kHighSizesSize;
    }

    uint64_t next = cursor + headerSize;
    if (flags & kRarLongBlock) {
      // Only a file block's packed size may have a high half; other blocks use the low one.
      if (entry.packedSize > std::numeric_limits<uint64_t>::max() - next) break;
      next += entry.packedSize;
    }
    if (next <= cursor) break;

    if (type == kOldSubBlock) break;
    if (type == kFileBlock) {
      entry.storedName = std::string_view(reinterpret_cast<const char*>(tail), nameBytes);
      ++entries;
      if (!onEntry(entry)) break;
    }
    cursor = next;
  }
  return entries;
}

}  // namespace

size_t ReadRarBlockList(const uint8_t* data, uint64_t size, const std::function<void(const RarEntry&)>& onEntry) {
  rar::MemoryBytes bytes(data, size);
  return ReadBlocks(bytes, [&](const RarEntry& entry) {
    onEntry(entry);
    return true;
  });
}

size_t ReadRarBlockList(FileHandle& file, const std::function<bool(const RarEntry&)>& onEntry) {
  rar::FileBytes bytes(file);
  return ReadBlocks(bytes, onEntry);
}

void AssignRarMemberName(const RarEntry& entry, std::wstring& name) {
  const std::string_view field = entry.storedName;
  if (entry.utf8Name) {
    AssignName(field, name, Utf8ToWide);
    return;
  }
  const size_t zero = std::min(field.find('\0'), field.size());
  if (entry.flags & kRarUnicodeName) {
    // Without a zero byte the whole field is UTF-8.
    if (zero == field.size()) {
      name = Utf8ToWide(field);
      return;
    }
    std::wstring decoded = Utf16ToWide(DecodeUnicodeName(field, zero));
    if (!decoded.empty()) {
      name = std::move(decoded);
      return;
    }
  }
  AssignName(field.substr(0, zero), name, UnflaggedNameToWide);
}

std::wstring RarMemberName(const RarEntry& entry) {
  std::wstring name;
  AssignRarMemberName(entry, name);
  return name;
}

}  // namespace tessaly
