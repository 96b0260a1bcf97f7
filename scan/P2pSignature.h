// The P2P signature database: known file-sharing executables recognised by exact size and three
// byte sums, loaded from the binary signature file "PCBKDP.DAT".
//
// File layout (little-endian). Header: u32 H at 0 (the first record starts at H + 10), one unused
// byte, u32 E at 5 (records are read while the record offset is below E). Record at R: i32 file
// size, unused byte, i32 head sum, unused byte, i32 middle sum, unused byte, i32 header-area sum,
// unused byte, i32 L, L bytes of name (ANSI code page, no terminator), five unused bytes; the next
// record starts at R + L + 29.
#pragma once

#include "FileHandle.h"
#include "MvError.h"
#include "MvLinkedList.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tessaly {

struct ScanFile;

inline constexpr size_t kSignatureFileHeaderSize = 10;
inline constexpr size_t kSignatureRecordFixedSize = 29;  // record bytes besides the name
inline constexpr size_t kSignatureHeadBytes = 512;
inline constexpr size_t kSignatureMiddleBytes = 1000;

struct P2pSignature {
  int32_t fileSize = 0;
  int32_t headSum = 0;
  int32_t middleSum = 0;
  int32_t headerSum = 0;
  int32_t nameLength = 0;  // bytes of the stored name
  std::wstring name;
};

// The three sums of one file, as the matcher computes them.
struct SignatureSums {
  int32_t headSum = 0;
  int32_t middleSum = 0;
  int32_t headerSum = 0;
};

// What decoding a signature buffer found.
struct SignatureDecodeResult {
  size_t records = 0;
  // False when decoding stopped at a record that does not lie wholly inside the buffer (or a
  // header that points outside it) rather than at E.
  bool complete = true;
  // Offset just past the last decoded record (H + 10 when none was decoded).
  uint64_t end = 0;
};

class SignatureDatabase {
 public:
  SignatureDatabase() = default;
  ~SignatureDatabase();
  SignatureDatabase(const SignatureDatabase&) = delete;
  SignatureDatabase& operator=(const SignatureDatabase&) = delete;

  // Appends a record; the database owns it.
  const P2pSignature* Add(std::unique_ptr<P2pSignature> signature);

  // The scan's quick pre-test: some signature's stored size has the same 32-bit pattern as the
  // low 32 bits of the file's size. A set lookup, not a walk of the list.
  bool HasSizeLow32(uint64_t fileSize) const { return sizes_.count(static_cast<uint32_t>(fileSize)) != 0; }

  // The first signature, in file order, whose size (sign-extended) equals fileSize and whose
  // three sums equal sums; null when none does.
  const P2pSignature* Find(uint64_t fileSize, const SignatureSums& sums) const;

  std::vector<const P2pSignature*> Signatures() const;

  MvError error;
  uint64_t fileSizeRead = 0;  // size of the signature file read
  MvLinkedList signatures;    // values: P2pSignature*, owned by the database, in file order

 private:
  std::unordered_set<uint32_t> sizes_;
};

// Loads "PCBKDP.DAT" into database. False only when the file cannot be opened.
bool LoadArchive(const std::wstring& path, SignatureDatabase& database);

// Decodes the records of a whole signature file held in memory and appends them to database.
// Never reads outside [data, data + size).
SignatureDecodeResult DecodeSignatureBuffer(const uint8_t* data, size_t size, SignatureDatabase& database);

// The bytes of one record as the file stores it (unused bytes zero). The name is given in the
// ANSI code page.
std::vector<uint8_t> EncodeSignatureRecord(int32_t fileSize, const SignatureSums& sums, const std::string& ansiName);
// A header with H = 0 and the given E.
std::vector<uint8_t> EncodeSignatureHeader(uint32_t end);

// The sums of an open file of the given size, read from offset 0: null unless 512 bytes could be
// read and the file starts with "MZ".
std::optional<SignatureSums> ComputeSignatureSums(FileHandle& file, uint64_t fileSize);

// The first signature that the found file matches, or null. Opens and always closes the file's
// reader.
const P2pSignature* MatchSignature(ScanFile& file, const SignatureDatabase& database);

}  // namespace tessaly
