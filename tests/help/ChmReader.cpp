#include "ChmReader.h"

#include <set>

namespace tessaly::test {
namespace {

constexpr uint64_t kItsfV2HeaderLength = 0x58;
constexpr uint64_t kItsfV3HeaderLength = 0x60;
constexpr uint64_t kItspHeaderLength = 0x54;
constexpr uint64_t kPmglHeaderLength = 20;
// Longer chunks than this are no directory any compiler writes; refusing them keeps a corrupt
// header from claiming the whole file as one chunk.
constexpr uint64_t kMaxChunkSize = 0x10000;
constexpr std::string_view kResetTable =
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
constexpr std::string_view kCompressedContent = "::DataSpace/Storage/MSCompressed/Content";

uint32_t Le32(std::string_view b, uint64_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

uint64_t Le64(std::string_view b, uint64_t at) {
  return static_cast<uint64_t>(Le32(b, at)) | (static_cast<uint64_t>(Le32(b, at + 4)) << 32);
}

// offset + length within size, without overflow.
bool Fits(uint64_t offset, uint64_t length, uint64_t size) { return offset <= size && length <= size - offset; }

// The directory's variable-length integers: big-endian groups of 7 bits, the high bit set on every
// byte but the last.
bool ReadEncInt(std::string_view chunk, size_t& at, size_t end, uint64_t& value) {
  value = 0;
  for (int bytes = 0; at < end; ++bytes) {
    if (bytes == 9 || (value >> 57) != 0) return false;  // more than 64 bits
    const auto c = static_cast<uint8_t>(chunk[at++]);
    value = (value << 7) | (c & 0x7F);
    if (!(c & 0x80)) return true;
  }
  return false;
}

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

bool ReadChunk(std::string_view chunk, uint64_t index, std::vector<ChmEntry>& entries, int32_t& next,
               std::string& error) {
  const std::string where = "PMGL chunk " + std::to_string(index);
  if (chunk.substr(0, 4) != "PMGL") return Fail(error, where + ": no PMGL signature");
  const uint64_t free = Le32(chunk, 4);
  if (free > chunk.size() - kPmglHeaderLength) return Fail(error, where + ": free space larger than the chunk");
  next = static_cast<int32_t>(Le32(chunk, 16));
  const size_t end = chunk.size() - static_cast<size_t>(free);
  size_t at = kPmglHeaderLength;
  while (at < end) {
    ChmEntry entry;
    uint64_t nameLength = 0;
    if (!ReadEncInt(chunk, at, end, nameLength)) return Fail(error, where + ": entry name length is unreadable");
    if (nameLength == 0) return Fail(error, where + ": entry without a name");
    if (!Fits(at, nameLength, end)) return Fail(error, where + ": entry name runs off the chunk");
    entry.name.assign(chunk.substr(at, static_cast<size_t>(nameLength)));
    at += static_cast<size_t>(nameLength);
    if (!ReadEncInt(chunk, at, end, entry.section) || !ReadEncInt(chunk, at, end, entry.offset) ||
        !ReadEncInt(chunk, at, end, entry.length)) {
      return Fail(error, where + ": entry " + entry.name + " runs off the chunk");
    }
    entries.push_back(std::move(entry));
  }
  return true;
}

}  // namespace

const ChmEntry* ChmDirectory::Find(std::string_view name) const {
  for (const ChmEntry& entry : entries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

bool ReadChmDirectory(std::string_view bytes, ChmDirectory& directory, std::string& error) {
  directory = {};
  const uint64_t size = bytes.size();
  if (size < kItsfV2HeaderLength) return Fail(error, "shorter than an ITSF header");
  if (bytes.substr(0, 4) != "ITSF") return Fail(error, "no ITSF signature");
  const uint32_t version = Le32(bytes, 4);
  if (version != 2 && version != 3) return Fail(error, "ITSF version " + std::to_string(version));
  const uint64_t headerLength = Le32(bytes, 8);
  const uint64_t wanted = version == 3 ? kItsfV3HeaderLength : kItsfV2HeaderLength;
  if (headerLength < wanted || headerLength > size) return Fail(error, "ITSF header length out of range");
  directory.lcid = Le32(bytes, 0x14);

  const uint64_t dirOffset = Le64(bytes, 0x48);
  const uint64_t dirLength = Le64(bytes, 0x50);
  if (!Fits(dirOffset, dirLength, size)) return Fail(error, "directory lies outside the file");
  const uint64_t contentOffset = version == 3 ? Le64(bytes, 0x58) : dirOffset + dirLength;
  if (contentOffset > size) return Fail(error, "content section lies outside the file");

  const std::string_view dir = bytes.substr(static_cast<size_t>(dirOffset), static_cast<size_t>(dirLength));
  if (dir.size() < kItspHeaderLength) return Fail(error, "directory shorter than an ITSP header");
  if (dir.substr(0, 4) != "ITSP") return Fail(error, "no ITSP signature");
  const uint64_t itspLength = Le32(dir, 8);
  const uint64_t chunkSize = Le32(dir, 0x10);
  const int32_t firstChunk = static_cast<int32_t>(Le32(dir, 0x20));
  const uint64_t chunkCount = Le32(dir, 0x2C);
  if (itspLength < kItspHeaderLength || itspLength > dir.size()) return Fail(error, "ITSP header length out of range");
  if (chunkSize <= kPmglHeaderLength || chunkSize > kMaxChunkSize) return Fail(error, "directory chunk size out of range");
  if (chunkCount > (dir.size() - itspLength) / chunkSize) return Fail(error, "directory chunks lie outside the directory");

  std::set<int32_t> visited;
  for (int32_t index = firstChunk; index != -1;) {
    if (index < 0 || static_cast<uint64_t>(index) >= chunkCount) {
      return Fail(error, "listing chunk " + std::to_string(index) + " is not in the directory");
    }
    if (!visited.insert(index).second) return Fail(error, "listing chunks form a loop");
    const std::string_view chunk =
        dir.substr(static_cast<size_t>(itspLength + index * chunkSize), static_cast<size_t>(chunkSize));
    if (!ReadChunk(chunk, static_cast<uint64_t>(index), directory.entries, index, error)) return false;
  }
  if (directory.entries.empty()) return Fail(error, "the directory lists nothing");

  // Where the entries' bytes lie: section 0 in the file after the content offset, section 1
  // inside the compressed stream, whose uncompressed size the reset table gives.
  const uint64_t section0Size = size - contentOffset;
  for (const ChmEntry& entry : directory.entries) {
    if (entry.section > 1) return Fail(error, entry.name + ": unknown section " + std::to_string(entry.section));
    if (entry.section == 0 && !Fits(entry.offset, entry.length, section0Size)) {
      return Fail(error, entry.name + ": lies outside the file");
    }
  }
  const ChmEntry* resetTable = directory.Find(kResetTable);
  const ChmEntry* content = directory.Find(kCompressedContent);
  uint64_t section1Size = 0;
  if (resetTable && content && resetTable->section == 0 && content->section == 0 && resetTable->length >= 0x28) {
    const uint64_t at = contentOffset + resetTable->offset;
    section1Size = Le64(bytes, at + 0x10);
    if (Le64(bytes, at + 0x18) != content->length) return Fail(error, "reset table does not match the content");
  }
  for (const ChmEntry& entry : directory.entries) {
    if (entry.section == 1 && !Fits(entry.offset, entry.length, section1Size)) {
      return Fail(error, entry.name + ": lies outside the compressed section");
    }
  }
  return true;
}

}  // namespace tessaly::test
