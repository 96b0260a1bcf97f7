#include "FileDeletion.h"

#include "ScanRecords.h"

namespace tessaly {

bool IsArchiveMemberPath(std::wstring_view path) {
  for (std::wstring_view marker : {L"::ZIP::", L"::ISO::", L"::RAR::"}) {
    if (path.find(marker) != std::wstring_view::npos) return true;
  }
  return false;
}

std::wstring DeletionPath(const ScanFile& file) { return FullPath(file.folder) + file.name; }

DeletionReport DeleteCheckedFiles(DeletionRows& rows, const std::function<bool(const std::wstring&)>& deleteFile) {
  DeletionReport report;
  for (int row = 0; row < rows.Count();) {
    ScanFile* file = rows.IsChecked(row) ? rows.FileAt(row) : nullptr;
    if (!file) {
      ++row;
      continue;
    }
    const std::wstring path = DeletionPath(*file);
    if (IsArchiveMemberPath(path)) {
      report.archiveMemberSkipped = true;
      ++row;
      continue;
    }
    if (!deleteFile(path)) {
      report.failed.push_back(path);
      ++row;
      continue;
    }
    ++report.deleted;
    // The next row moves up into this index; a row that cannot be removed is stepped over so the
    // walk always ends.
    if (!rows.Remove(row)) ++row;
  }
  return report;
}

std::wstring DeletionWarning(const DeletionReport& report, const DeletionWarningTexts& texts) {
  std::wstring text;
  if (report.archiveMemberSkipped) text = texts.archiveMembers;
  if (!report.failed.empty()) {
    if (!text.empty()) text += L"\r\n\r\n";
    text += texts.notDeleted;
    text += L"\r\n";
    for (size_t i = 0; i < report.failed.size() && i < kMaxNamedFailures; ++i) text += L"\r\n" + report.failed[i];
    if (report.failed.size() > kMaxNamedFailures) text += L"\r\n...";
  }
  return text;
}

}  // namespace tessaly
