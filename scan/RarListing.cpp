#include "ArchiveListing.h"
#include "MappedFile.h"
#include "RarBlockList.h"

namespace tessaly {

int32_t MvScan::ScanRarFile(const std::wstring& path, MvScan& scan, const std::shared_ptr<ScanFolder>& folder) {
  const MappedFile mapped = MappedFile::Open(path);
  switch (mapped.status()) {
    case MappedFile::Status::OpenFailed:
      scan.error.Report(L"MvScan::ScanRarFile() Failed to open Rar File: %s", path);
      return 0;
    case MappedFile::Status::MappingFailed:
      scan.error.Report(L"MvScan::ScanRarFile() Failed to create filemapping on Rar File: %s(%dbytes)", path,
                        mapped.size());
      return 0;
    case MappedFile::Status::ViewFailed:
      scan.error.Report(L"MvScan::ScanRarFile() Failed to map view of file: %s(%dbytes)", path, mapped.size());
      return 0;
    case MappedFile::Status::Ok:
      break;
  }

  // Members are announced as they are read, so memory does not grow with the archive. The record
  // is made at the first member: an archive without files yields none.
  std::shared_ptr<ScanFolder> archive;
  std::unique_ptr<ScanFile> member;  // reused from member to member while nobody keeps it
  ReadRarBlockList(mapped.data(), mapped.size(), [&](const RarEntry& entry) {
    if (!archive) archive = ScanFolder::MakeChild(folder, ArchiveRecordName(path), kRarArchive, scan.keepTree);
    if (!member) member = std::make_unique<ScanFile>();
    AssignRarMemberName(entry, member->name);
    member->size = entry.unpackedSize;
    scan.DispatchFile(member, archive);
  });
  return 0;
}

}  // namespace tessaly
