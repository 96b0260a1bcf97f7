// Builders of small ZIP and RAR (1.5 to 4.x block layout) archives for the tests. Contents are
// stored, never compressed: the listing reads only names and sizes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaly::test {

inline void PutU16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutU32(std::string& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
inline void PutU64(std::string& out, uint64_t v) {
  PutU32(out, static_cast<uint32_t>(v));
  PutU32(out, static_cast<uint32_t>(v >> 32));
}

class ZipBuilder {
 public:
  struct Member {
    std::string name;
    std::string content;
    uint16_t flags = 0;
    // When set, the central directory claims this uncompressed size through a ZIP64 field.
    std::optional<uint64_t> claimedSize;
  };

  ZipBuilder& Add(std::string name, std::string content = {}, uint16_t flags = 0) {
    members_.push_back({std::move(name), std::move(content), flags, std::nullopt});
    return *this;
  }
  ZipBuilder& AddLarge(std::string name, uint64_t claimedSize) {
    members_.push_back({std::move(name), {}, 0, claimedSize});
    return *this;
  }

  std::string Build() const {
    std::string out, central;
    for (const Member& m : members_) {
      const uint32_t offset = static_cast<uint32_t>(out.size());
      const uint32_t crc = Crc32(m.content);
      const uint32_t size = static_cast<uint32_t>(m.content.size());
      PutU32(out, 0x04034b50);
      PutU16(out, m.claimedSize ? 45 : 20);
      PutU16(out, m.flags);
      PutU16(out, 0);  // stored
      PutU32(out, 0);  // time, date
      PutU32(out, crc);
      PutU32(out, size);
      PutU32(out, size);
      PutU16(out, static_cast<uint32_t>(m.name.size()));
      PutU16(out, 0);
      out += m.name;
      out += m.content;

      std::string extra;
      if (m.claimedSize) {
        PutU16(extra, 0x0001);
        PutU16(extra, 16);
        PutU64(extra, *m.claimedSize);  // uncompressed
        PutU64(extra, size);            // compressed
      }
      PutU32(central, 0x02014b50);
      PutU16(central, m.claimedSize ? 45 : 20);
      PutU16(central, m.claimedSize ? 45 : 20);
      PutU16(central, m.flags);
      PutU16(central, 0);
      PutU32(central, 0);
      PutU32(central, crc);
      PutU32(central, m.claimedSize ? 0xFFFFFFFF : size);
      PutU32(central, m.claimedSize ? 0xFFFFFFFF : size);
      PutU16(central, static_cast<uint32_t>(m.name.size()));
      PutU16(central, static_cast<uint32_t>(extra.size()));
      PutU16(central, 0);  // comment
      PutU16(central, 0);  // disk
      PutU16(central, 0);  // internal attributes
      PutU32(central, 0);  // external attributes
      PutU32(central, offset);
      central += m.name;
      central += extra;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    PutU32(out, 0x06054b50);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, static_cast<uint32_t>(members_.size()));
    PutU16(out, static_cast<uint32_t>(members_.size()));
    PutU32(out, static_cast<uint32_t>(central.size()));
    PutU32(out, centralOffset);
    PutU16(out, 0);
    return out;
  }

  static uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : data) {
      crc ^= c;
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
  }

 private:
  std::vector<Member> members_;
};

// Blocks of the RAR 1.5-4.x layout. CRCs are left 0: the listing does not check them.
class RarBuilder {
 public:
  static constexpr const char kMarker[] = "Rar!\x1A\x07\x00";

  RarBuilder() {
    out_.assign(kMarker, 7);
    PutU16(out_, 0);
    out_ += '\x73';
    PutU16(out_, 0);
    PutU16(out_, 13);
    PutU16(out_, 0);
    PutU32(out_, 0);
  }

  struct File {
    std::string name;
    uint64_t unpackedSize = 0;
    std::string packed;            // data that follow the header
    uint16_t flags = 0x8000;       // a file block always carries its packed data
    std::optional<uint64_t> claimedPacked;  // a packed size other than packed.size()
  };

  RarBuilder& AddFile(File f) {
    std::string header;
    const uint64_t packed = f.claimedPacked ? *f.claimedPacked : f.packed.size();
    const bool large = f.flags & 0x100;
    const uint32_t size = 32 + (large ? 8 : 0) + static_cast<uint32_t>(f.name.size());
    PutU16(header, 0);
    header += '\x74';
    PutU16(header, f.flags);
    PutU16(header, size);
    PutU32(header, static_cast<uint32_t>(packed));
    PutU32(header, static_cast<uint32_t>(f.unpackedSize));
    header += '\x02';  // host OS: Windows
    PutU32(header, 0x12345678);
    PutU32(header, 0);
    header += '\x1D';  // unpack version 2.9
    header += '\x30';  // stored
    PutU16(header, static_cast<uint32_t>(f.name.size()));
    PutU32(header, 0x20);
    if (large) {
      PutU32(header, static_cast<uint32_t>(packed >> 32));
      PutU32(header, static_cast<uint32_t>(f.unpackedSize >> 32));
    }
    header += f.name;
    out_ += header;
    out_ += f.packed;
    return *this;
  }
  RarBuilder& AddFile(std::string name, uint64_t unpackedSize, std::string packed = {}) {
    File f;
    f.name = std::move(name);
    f.unpackedSize = unpackedSize;
    f.packed = std::move(packed);
    return AddFile(std::move(f));
  }
  // An old-style comment block: its text lies inside the header.
  RarBuilder& AddComment(const std::string& text) {
    PutU16(out_, 0);
    out_ += '\x75';
    PutU16(out_, 0);
    PutU16(out_, 13 + static_cast<uint32_t>(text.size()));
    PutU16(out_, static_cast<uint32_t>(text.size()));
    out_ += '\x0F';
    out_ += '\x30';
    PutU16(out_, 0);
    out_ += text;
    return *this;
  }
  // Any block: type, flags, header size as claimed, payload bytes after the 7 common bytes.
  RarBuilder& AddRaw(uint8_t type, uint16_t flags, uint16_t headerSize, const std::string& rest) {
    PutU16(out_, 0);
    out_ += static_cast<char>(type);
    PutU16(out_, flags);
    PutU16(out_, headerSize);
    out_ += rest;
    return *this;
  }
  RarBuilder& End() { return AddRaw(0x7B, 0x4000, 7, {}); }

  const std::string& Bytes() const { return out_; }

 private:
  std::string out_;
};

}  // namespace tessaly::test
