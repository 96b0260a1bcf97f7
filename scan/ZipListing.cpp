#include "ArchiveListing.h"
#include "DebugLog.h"
#include "Paths.h"
#include "TextConvert.h"
#include "ZipOpen.h"

#include <algorithm>
#include <vector>

namespace tessaly {
namespace {

// Stored names longer than this are cut (the name buffer holds 256 bytes with its zero).
constexpr size_t kZipNameLimit = 255;
// General-purpose flag: the name is UTF-8.
constexpr unsigned long kZipUtf8Name = 1u << 11;
// A 32-bit size field holding this value defers to the ZIP64 extra field.
constexpr uint64_t kZip64Marker = 0xFFFFFFFF;

// A UTF-8 name cut at the byte limit may end inside a character: drop that partial character
// rather than show a replacement mark.
std::string_view WholeUtf8Characters(std::string_view text) {
  size_t end = text.size();
  size_t start = end;
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80 && end - start < 3) --start;
  if (start == 0) return text;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const size_t continuation = end - start;
  size_t expected = 0;
  if ((lead & 0xE0) == 0xC0) expected = 1;
  else if ((lead & 0xF0) == 0xE0) expected = 2;
  else if ((lead & 0xF8) == 0xF0) expected = 3;
  else return text;  // an ASCII byte or a stray continuation: nothing was cut
  return continuation < expected ? text.substr(0, start - 1) : text;
}

std::wstring MemberName(const char* stored, uLong storedSize, uLong flags) {
  std::string_view name(stored, std::min<size_t>(storedSize, kZipNameLimit));
  name = name.substr(0, std::min(name.find('\0'), name.size()));
  if (flags & kZipUtf8Name) return Utf8ToWide(WholeUtf8Characters(name));
  if (storedSize > kZipNameLimit) {
    // A cut UTF-8 name may end inside a character: judge the whole characters only.
    const std::string_view whole = WholeUtf8Characters(name);
    if (whole.size() < name.size() && !IsAscii(whole) && IsWellFormedUtf8(whole)) return Utf8ToWide(whole);
  }
  return UnflaggedNameToWide(name);
}

// Some minizip builds leave a ZIP64 size at its 32-bit marker: read it from the entry's ZIP64
// extra field (header 0x0001, whose first value is the uncompressed size when that is marked).
uint64_t Zip64UncompressedSize(unzFile zip, const unz_file_info64& info) {
  if (info.uncompressed_size != kZip64Marker || info.size_file_extra == 0) return info.uncompressed_size;
  std::vector<unsigned char> extra(info.size_file_extra);
  unz_file_info64 again{};
  if (unzGetCurrentFileInfo64(zip, &again, nullptr, 0, extra.data(), static_cast<uLong>(extra.size()), nullptr, 0) !=
      UNZ_OK) {
    return info.uncompressed_size;
  }
  for (size_t at = 0; at + 4 <= extra.size();) {
    const unsigned id = extra[at] | (extra[at + 1] << 8);
    const size_t length = extra[at + 2] | (extra[at + 3] << 8);
    at += 4;
    if (length > extra.size() - at) break;
    if (id == 0x0001 && length >= 8) {
      uint64_t size = 0;
      for (int i = 7; i >= 0; --i) size = (size << 8) | extra[at + i];
      return size;
    }
    at += length;
  }
  return info.uncompressed_size;
}

// Closes the archive however the listing is left (a subscriber may throw).
struct ZipCloser {
  unzFile zip;
  ~ZipCloser() { unzClose(zip); }
};

}  // namespace

std::wstring ArchiveRecordName(const std::wstring& path) {
  const size_t separator = path.rfind(kPathSeparator);
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

int32_t ListZipArchive(MvScan& scan, const std::shared_ptr<ScanFolder>& folder, const std::wstring& path) {
  unzFile zip = OpenZipForListing(path);
  if (!zip) return 0;
  ZipCloser closer{zip};
  if (unzGoToFirstFile(zip) != UNZ_OK) return 0;

  auto archive = ScanFolder::MakeChild(folder, ArchiveRecordName(path), kZipArchive, scan.keepTree);
  std::unique_ptr<ScanFile> member;  // reused from member to member while nobody keeps it
  do {
    unz_file_info64 info{};
    char name[kZipNameLimit + 1] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) continue;
    if (!member) member = std::make_unique<ScanFile>();
    member->name = MemberName(name, info.size_filename, info.flag);
    member->size = Zip64UncompressedSize(zip, info);  // 64-bit: a large member must not look small
    scan.DispatchFile(member, archive);
  } while (!scan.StopRequested() && unzGoToNextFile(zip) == UNZ_OK);  // a stop request ends a long listing
  return 0;
}

int32_t ListArchive(MvScan& scan, ScanFile& file, ArchiveKind kind) {
  if (!file.folder || kind == ArchiveKind::None) return 0;
  // Without a kept tree the record holds its folder; with one, the tree does.
  std::shared_ptr<ScanFolder> folder = file.folderRef ? file.folderRef : file.folder->weak_from_this().lock();
  if (!folder) return 0;
  const std::wstring path = file.FilePath();
  return kind == ArchiveKind::Zip ? ListZipArchive(scan, folder, path) : MvScan::ScanRarFile(path, scan, folder);
}

}  // namespace tessaly
