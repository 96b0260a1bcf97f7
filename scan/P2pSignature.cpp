#include "P2pSignature.h"

#include "LittleEndian.h"
#include "ScanRecords.h"
#include "TextConvert.h"

#include <cstring>
#include <new>

namespace tessaly {
namespace {

int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

uint32_t ByteSum(const uint8_t* data, size_t count) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum += data[i];
  return sum;
}

// A signature file larger than this is not read: the shipped one holds a few hundred records
// (tens of kilobytes), and a runaway file must not exhaust memory.
constexpr int64_t kLargestSignatureFile = 64ll << 20;

// Reader is a FileHandle or a ScanFile: both read from the current position and seek absolutely.
template <typename Reader>
std::optional<SignatureSums> SumsOf(Reader& reader, uint64_t fileSize) {
  uint8_t head[kSignatureHeadBytes] = {};
  if (reader.Read(head, sizeof(head)) != sizeof(head) || head[0] != 'M' || head[1] != 'Z') return {};
  SignatureSums sums;
  sums.headSum = static_cast<int32_t>(ByteSum(head, 300));
  sums.headerSum = static_cast<int32_t>(ByteSum(head, 28) + ByteSum(head + 428, 28));
  uint8_t middle[kSignatureMiddleBytes];
  if (reader.Seek(fileSize / 2) && reader.Read(middle, sizeof(middle)) == sizeof(middle)) {
    sums.middleSum = static_cast<int32_t>(ByteSum(middle, sizeof(middle)));
  }
  return sums;
}

}  // namespace

SignatureDatabase::~SignatureDatabase() {
  for (const MvListEntry& entry : signatures) delete static_cast<P2pSignature*>(entry.value);
  signatures.Clear();
}

const P2pSignature* SignatureDatabase::Add(std::unique_ptr<P2pSignature> signature) {
  if (!signature) return nullptr;
  sizes_.insert(static_cast<uint32_t>(signature->fileSize));
  P2pSignature* stored = signature.get();
  if (!signatures.Add(stored->name.c_str(), stored)) return nullptr;
  signature.release();
  return stored;
}

const P2pSignature* SignatureDatabase::Find(uint64_t fileSize, const SignatureSums& sums) const {
  // A stored size is signed 32-bit: files of 2 GiB or more never match.
  if (fileSize > 0x7FFFFFFFu || !HasSizeLow32(fileSize)) return nullptr;
  for (const MvListEntry& entry : signatures) {
    const auto* signature = static_cast<const P2pSignature*>(entry.value);
    if (static_cast<int64_t>(signature->fileSize) == static_cast<int64_t>(fileSize) &&
        signature->middleSum == sums.middleSum && signature->headSum == sums.headSum &&
        signature->headerSum == sums.headerSum) {
      return signature;
    }
  }
  return nullptr;
}

std::vector<const P2pSignature*> SignatureDatabase::Signatures() const {
  std::vector<const P2pSignature*> all;
  for (const MvListEntry& entry : signatures) all.push_back(static_cast<const P2pSignature*>(entry.value));
  return all;
}

SignatureDecodeResult DecodeSignatureBuffer(const uint8_t* data, size_t size, SignatureDatabase& database) {
  SignatureDecodeResult result;
  if (size < kSignatureFileHeaderSize) {
    result.complete = false;
    return result;
  }
  const uint64_t end = ReadLe32(data + 5);
  // 64-bit offsets: H + 10 and R + L + 29 cannot wrap.
  uint64_t offset = static_cast<uint64_t>(ReadLe32(data)) + kSignatureFileHeaderSize;
  result.end = offset;
  do {
    // Only a record whose every read byte lies inside the buffer is decoded.
    if (offset > size || size - offset < 24) {
      result.complete = false;
      break;
    }
    const uint8_t* record = data + offset;
    const int32_t nameLength = ReadI32(record + 20);
    if (nameLength < 0 || static_cast<uint64_t>(nameLength) > size - offset - 24) {
      result.complete = false;
      break;
    }
    auto signature = std::make_unique<P2pSignature>();
    signature->fileSize = ReadI32(record);
    signature->headSum = ReadI32(record + 5);
    signature->middleSum = ReadI32(record + 10);
    signature->headerSum = ReadI32(record + 15);
    signature->nameLength = nameLength;
    signature->name = AnsiToWide(std::string_view(reinterpret_cast<const char*>(record + 24),
                                                  static_cast<size_t>(nameLength)));
    database.Add(std::move(signature));
    ++result.records;
    offset += static_cast<uint64_t>(nameLength) + kSignatureRecordFixedSize;
    result.end = offset;
  } while (offset < end);
  return result;
}

bool LoadArchive(const std::wstring& path, SignatureDatabase& database) {
  FileHandle file = FileHandle::OpenForRead(path);
  if (!file.IsOpen()) {
    database.error.Report(L"LoadArchive(): Failed to load signature file(%s), Error(%s)", path,
                          MvError::GetLastError());
    return false;
  }
  const int64_t size = file.Size();
  if (size <= 0) {
    database.error.Report(L"LoadArchive(): Failed to get signature filesize(%s), Error(%s)", path,
                          MvError::GetLastError());
    return true;
  }
  database.fileSizeRead = static_cast<uint64_t>(size);
  std::vector<uint8_t> buffer;
  bool read = false;
  if (size <= kLargestSignatureFile) {
    try {
      buffer.resize(static_cast<size_t>(size));
      read = file.Read(buffer.data(), buffer.size()) == buffer.size();
    } catch (const std::bad_alloc&) {
      read = false;
    }
  }
  if (!read) {
    database.error.Report(L"LoadArchive(): Failed to read signature file(%s), Error(%s)", path,
                          MvError::GetLastError());
    return true;
  }
  DecodeSignatureBuffer(buffer.data(), buffer.size(), database);
  return true;
}

std::vector<uint8_t> EncodeSignatureRecord(int32_t fileSize, const SignatureSums& sums, const std::string& ansiName) {
  std::vector<uint8_t> record(kSignatureRecordFixedSize + ansiName.size(), 0);
  WriteLe32(record.data(), static_cast<uint32_t>(fileSize));
  WriteLe32(record.data() + 5, static_cast<uint32_t>(sums.headSum));
  WriteLe32(record.data() + 10, static_cast<uint32_t>(sums.middleSum));
  WriteLe32(record.data() + 15, static_cast<uint32_t>(sums.headerSum));
  WriteLe32(record.data() + 20, static_cast<uint32_t>(ansiName.size()));
  if (!ansiName.empty()) std::memcpy(record.data() + 24, ansiName.data(), ansiName.size());
  return record;
}

std::vector<uint8_t> EncodeSignatureHeader(uint32_t end) {
  std::vector<uint8_t> header(kSignatureFileHeaderSize, 0);
  WriteLe32(header.data() + 5, end);
  return header;
}

std::optional<SignatureSums> ComputeSignatureSums(FileHandle& file, uint64_t fileSize) {
  if (!file.IsOpen() || !file.Seek(0)) return {};
  return SumsOf(file, fileSize);
}

const P2pSignature* MatchSignature(ScanFile& file, const SignatureDatabase& database) {
  // No signature of this exact size: nothing could match, so the file need not be opened.
  if (file.size > 0x7FFFFFFFu || !database.HasSizeLow32(file.size)) return nullptr;
  const P2pSignature* found = nullptr;
  if (file.OpenReader()) {
    if (auto sums = SumsOf(file, file.size)) found = database.Find(file.size, *sums);
  }
  file.CloseReader();
  return found;
}

}  // namespace tessaly
