// The folder and file records of a scan.
//
// Ownership: folders are shared. A root is owned by whoever queued it; with keepTree a folder
// owns its sub-folders and files (top-down, `parent` is a plain pointer). Without keepTree the
// walk keeps nothing: a child holds its parent alive through `parentRef`, so a folder lives as long
// as the walk is inside it or a kept file still needs its path, and a file record lives until the
// end of its dispatch unless a subscriber takes it with ScanFile::Keep().
#pragma once

#include "Clock.h"
#include "DirectoryListing.h"
#include "FileHandle.h"
#include "MvLinkedList.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tessaly {

struct ScanFile;

enum FolderKind : int32_t {
  kPlainFolder = 0,
  kIsoImage = 1,  // reserved
  kRarArchive = 2,
  kZipArchive = 4,
};

// Shared from itself so that an archive found in a kept tree can name its folder as parent.
struct ScanFolder : std::enable_shared_from_this<ScanFolder> {
  ScanFolder() = default;
  // Parents and sub-folders that go with the record are released one by one, not by recursion:
  // a chain of 30,000 folders must not exhaust the stack.
  ~ScanFolder();
  ScanFolder(const ScanFolder&) = delete;
  ScanFolder& operator=(const ScanFolder&) = delete;

  std::recursive_mutex lock;  // held while the folder is walked and while it is announced
  std::wstring name;          // entry name; a root holds a whole path
  ScanFolder* parent = nullptr;
  std::shared_ptr<ScanFolder> parentRef;
  std::unique_ptr<SystemTime> doneTime;  // UTC end of the last walk
  int32_t scanning = 0;
  int32_t kind = kPlainFolder;
  std::vector<std::shared_ptr<ScanFolder>> subFolders;
  std::vector<std::unique_ptr<ScanFile>> files;

  static std::shared_ptr<ScanFolder> MakeRoot(std::wstring path);
  // A child record; with keepTree false it holds its parent alive.
  static std::shared_ptr<ScanFolder> MakeChild(const std::shared_ptr<ScanFolder>& parent, std::wstring name,
                                               int32_t kind, bool keepTree);

  // The folder's path, always ending in the separator, with the archive marker for archives.
  const std::wstring& FullPath() const;
  // Frees the cached path (it is built again when asked for): a deep walk must not hold one path
  // per level.
  void DropPathCache() const;

 private:
  mutable std::wstring fullPath_;
};

// FullPath of a possibly missing record.
std::wstring FullPath(const ScanFolder* folder);

struct ScanFile {
  uint64_t size = 0;
  std::wstring name;
  uint64_t lastWriteTime = 0;  // FILETIME; 0 for archive members
  ScanFolder* folder = nullptr;
  std::shared_ptr<ScanFolder> folderRef;        // keeps `folder` alive when no tree owns the record
  std::unique_ptr<MvLinkedList> properties;     // null until the first property is set
  std::wstring pathCache;                       // the last FilePath(); cleared after each dispatch
  FileHandle reader;                            // content reads; closed after each dispatch
  const DirectoryListing* openFolder = nullptr; // the listing the record came from, during dispatch
  // Whether a link found in the file's place is followed when it is opened: only when the walk
  // listed the entry as one (POSIX), so a FIFO or device link put there later is not.
  bool followLink = true;

  // Folder path + name, cached in pathCache.
  const std::wstring& FilePath();
  MvLinkedList& Properties();

  // Reader: opening again rewinds to 0.
  bool OpenReader();
  size_t Read(void* buffer, size_t count);
  bool Seek(uint64_t offset);
  void CloseReader();

  // Takes the record from the walk; the caller owns it from now on. Empty when the tree of a
  // keepTree scan already owns it (the record then lives as long as the tree).
  std::unique_ptr<ScanFile> Keep();

  bool kept = false;
  bool ownedByTree = false;
};

}  // namespace tessaly
