// Deleting the checked rows of a result list: which rows are deleted, which are skipped and what
// the user is told. Portable; the list and the file system come in through DeletionRows and the
// deleter, so the walk is the same for the delete dialog and its tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct ScanFile;

// True when the path names a member of a ZIP, ISO or RAR archive (the folder part carries
// "::ZIP::", "::ISO::" or "::RAR::"); such files cannot be deleted one by one.
bool IsArchiveMemberPath(std::wstring_view path);

// The folder's full path followed by the file name.
std::wstring DeletionPath(const ScanFile& file);

// The rows of the list being deleted from, as the walk sees them.
class DeletionRows {
 public:
  virtual ~DeletionRows() = default;
  virtual int Count() const = 0;
  virtual bool IsChecked(int row) const = 0;
  // The row's record, or null (the check-all row has none).
  virtual ScanFile* FileAt(int row) const = 0;
  virtual bool Remove(int row) = 0;
};

struct DeletionReport {
  int deleted = 0;                    // files deleted, rows removed
  bool archiveMemberSkipped = false;  // at least one checked archive member, left alone
  std::vector<std::wstring> failed;   // files that could not be deleted; their rows stay
};

// Walks every checked row that has a record: archive members are skipped, every other file is
// deleted, and only a row whose file was deleted is removed (a file in use or read-only keeps
// its row, still checked, and is listed in the report). The row count is read again after every
// removal. The deleter returns whether the file is gone.
DeletionReport DeleteCheckedFiles(DeletionRows& rows, const std::function<bool(const std::wstring&)>& deleteFile);

// The texts of the one warning the user sees after a deletion.
struct DeletionWarningTexts {
  std::wstring archiveMembers;  // IDS_ONEORMOREFILESSHOULDBEDELETEDMANUALLY
  std::wstring notDeleted;      // IDS_FILESCOULDNOTBEDELETED, followed by the paths
};

// At most this many failed paths are named; more end in "...".
inline constexpr size_t kMaxNamedFailures = 12;

// Empty when there is nothing to warn about.
std::wstring DeletionWarning(const DeletionReport& report, const DeletionWarningTexts& texts);

}  // namespace tessaly
