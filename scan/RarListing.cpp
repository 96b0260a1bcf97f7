#include "ArchiveListing.h"
#include "FileHandle.h"
#include "RarBlockList.h"

namespace tessaly {

int32_t MvScan::ScanRarFile(const std::wstring& path, MvScan& scan, const std::shared_ptr<ScanFolder>& folder) {
  // The block headers are read in bounded pieces rather than through a mapping: a mapped archive
  // that shrinks meanwhile (truncated, on a share or a disk that went away) would fault the scan.
  FileHandle file = FileHandle::OpenForRead(path);
  if (!file.IsOpen()) {
    scan.error.Report(L"MvScan::ScanRarFile() Failed to open Rar File: %s", path);
    return 0;
  }
  const int64_t size = file.Size();
  if (size <= 0) {  // nothing to list, as a mapping of an empty file fails
    scan.error.Report(L"MvScan::ScanRarFile() Failed to create filemapping on Rar File: %s(%dbytes)", path,
                      size < 0 ? 0 : size);
    return 0;
  }

  // Members are announced as they are read, so memory does not grow with the archive. The record
  // is made at the first member: an archive without files yields none.
  std::shared_ptr<ScanFolder> archive;
  std::unique_ptr<ScanFile> member;  // reused from member to member while nobody keeps it
  ReadRarBlockList(file, [&](const RarEntry& entry) {
    if (!archive) archive = ScanFolder::MakeChild(folder, ArchiveRecordName(path), kRarArchive, scan.keepTree);
    if (!member) member = std::make_unique<ScanFile>();
    AssignRarMemberName(entry, member->name);
    member->size = entry.unpackedSize;
    scan.DispatchFile(member, archive);
    return !scan.StopRequested();  // a stop request ends a long listing at once
  });
  return 0;
}

}  // namespace tessaly
