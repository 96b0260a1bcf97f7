// Announcing the members of ZIP and RAR archives as files of the scan: each member comes back
// through "[DISKSCANEVENT_ONNEWFILEFOUND]" on the same MvScan, in a folder record of kind
// kZipArchive or kRarArchive whose path ends in "::ZIP::" or "::RAR::". Nothing is extracted.
// (The RAR listing is MvScan::ScanRarFile, declared with the scan.)
#pragma once

#include "FileRecognition.h"
#include "MvScan.h"
#include "ScanRecords.h"

#include <memory>
#include <string>

namespace tessaly {

// Lists the ZIP file at `path` whose containing folder record is `folder`. An archive that
// cannot be opened, or that holds no entry, yields no record and no event. Returns 0.
int32_t ListZipArchive(MvScan& scan, const std::shared_ptr<ScanFolder>& folder, const std::wstring& path);

// The archive record's name: the part of the path after its last separator.
std::wstring ArchiveRecordName(const std::wstring& path);

// Lists the archive that a found file was recognised as, into the file's own scan. Used by the
// file handler while it handles the file.
int32_t ListArchive(MvScan& scan, ScanFile& file, ArchiveKind kind);

}  // namespace tessaly
