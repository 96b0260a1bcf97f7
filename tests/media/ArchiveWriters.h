// Builders of small ZIP and RAR (1.5 to 4.x block layout, and 5.0) archives for the tests. Contents are
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

// Headers of the RAR 5.0 layout, built from the format's published description: signature, a
// main header, then file, service and end headers, each with its CRC-32 (which the listing
// checks).
class Rar5Builder {
 public:
  static constexpr const char kSignature[] = "Rar!\x1A\x07\x01\x00";

  static void PutVint(std::string& out, uint64_t v) {
    do {
      uint8_t byte = v & 0x7F;
      v >>= 7;
      if (v) byte |= 0x80;
      out += static_cast<char>(byte);
    } while (v);
  }

  Rar5Builder() {
    out_.assign(kSignature, 8);
    std::string fields;
    PutVint(fields, 0);  // archive flags
    AddHeader(1, 0, fields);
  }

  struct File {
    std::string name;
    uint64_t unpackedSize = 0;
    std::string data;                     // the data area after the header
    bool directory = false;
    bool sizeUnknown = false;
    std::optional<uint32_t> unixTime;     // in the header's own time field
    std::optional<uint64_t> extraFileTime;  // a file-time record (Windows FILETIME) in the extra area
    std::optional<uint64_t> claimedData;  // a data size other than data.size()
  };

  Rar5Builder& AddFile(File f, uint64_t type = 2) {
    std::string fields;
    uint64_t fileFlags = 0;
    if (f.directory) fileFlags |= 0x0001;
    if (f.unixTime) fileFlags |= 0x0002;
    fileFlags |= 0x0004;  // data CRC present
    if (f.sizeUnknown) fileFlags |= 0x0008;
    PutVint(fields, fileFlags);
    PutVint(fields, f.unpackedSize);
    PutVint(fields, 0x20);  // attributes
    if (f.unixTime) PutU32(fields, *f.unixTime);
    PutU32(fields, ZipBuilder::Crc32(f.data));
    PutVint(fields, 0);  // compression: version 0, stored
    PutVint(fields, 0);  // host OS: Windows
    PutVint(fields, f.name.size());
    fields += f.name;
    std::string extra;
    if (f.extraFileTime) {
      std::string record;
      PutVint(record, 0x03);    // file time
      PutVint(record, 0x0002);  // modification time, Windows format
      PutU64(record, *f.extraFileTime);
      PutVint(extra, record.size());
      extra += record;
    }
    const uint64_t dataSize = f.claimedData ? *f.claimedData : f.data.size();
    AddHeader(type, dataSize, fields, extra);
    out_ += f.data;
    return *this;
  }
  Rar5Builder& AddFile(std::string name, uint64_t unpackedSize, std::string data = {}) {
    File f;
    f.name = std::move(name);
    f.unpackedSize = unpackedSize;
    f.data = std::move(data);
    return AddFile(std::move(f));
  }
  // A service header ("CMT", "QO", ...): the same layout as a file header.
  Rar5Builder& AddService(std::string name, std::string data) {
    File f;
    f.name = std::move(name);
    f.data = std::move(data);
    return AddFile(std::move(f), 3);
  }
  Rar5Builder& AddEncryptionHeader() {
    std::string fields;
    PutVint(fields, 0);     // version
    PutVint(fields, 0);     // flags
    fields += '\x0F';       // KDF count
    fields += std::string(16, 's');  // salt
    return AddHeader(4, 0, fields);
  }
  Rar5Builder& End() {
    std::string fields;
    PutVint(fields, 0);
    return AddHeader(5, 0, fields);
  }
  // A header of any type, its fields given; data size and extra area as told.
  Rar5Builder& AddHeader(uint64_t type, uint64_t dataSize, const std::string& fields, const std::string& extra = {}) {
    std::string body;
    PutVint(body, type);
    uint64_t flags = 0;
    if (!extra.empty()) flags |= 0x0001;
    if (dataSize) flags |= 0x0002;
    PutVint(body, flags);
    if (!extra.empty()) PutVint(body, extra.size());
    if (dataSize) PutVint(body, dataSize);
    body += fields;
    body += extra;
    std::string sized;
    PutVint(sized, body.size());
    sized += body;
    PutU32(out_, ZipBuilder::Crc32(sized));
    out_ += sized;
    return *this;
  }
  // Bytes as they are, for headers broken on purpose.
  Rar5Builder& AddRaw(const std::string& bytes) {
    out_ += bytes;
    return *this;
  }

  const std::string& Bytes() const { return out_; }

 private:
  std::string out_;
};

}  // namespace tessaly::test
