// Enumeration of one folder's entries, in the order the file system returns them.
#pragma once

#include "FileHandle.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tessaly {

struct DirEntry {
  std::wstring name;
  bool isDirectory = false;
  // A directory symbolic link, junction or other reparse point; never walked.
  bool isLinkedDirectory = false;
  // A symbolic link (POSIX); the other fields describe what it leads to.
  bool isLink = false;
  uint32_t sizeHigh = 0;
  uint32_t sizeLow = 0;
  uint64_t lastWriteTime = 0;  // FILETIME: 100 ns units since 1601-01-01 UTC

  uint64_t Size() const { return (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow; }
};

// What identifies a folder on its volume, however it was reached (a bind mount, a second path).
struct FolderIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FolderIdentity&) const = default;
};

class DirectoryListing {
 public:
  virtual ~DirectoryListing() = default;
  // Fills the next entry; false at the end.
  virtual bool Next(DirEntry& entry) = 0;
  // Opens a regular file of this folder for reading, relative to the open folder where the
  // platform can. `followLink`: the entry was listed as a link (DirEntry::isLink).
  virtual FileHandle OpenFile(const std::wstring& name, const std::wstring& fullPath, bool followLink) const = 0;
  // The folder's identity, where the platform gives one cheaply.
  virtual bool Identity(FolderIdentity&) const { return false; }
};

// Why a folder could not be opened.
enum class OpenFailure {
  None,
  Unavailable,     // denied, vanished, not a folder: the folder has nothing to give
  OutOfResources,  // too many open files, out of memory: the scanner's own trouble, worth a retry
};

// Where folders are listed from; the walk takes one so tests can stand in for the disk.
class DirectorySource {
 public:
  virtual ~DirectorySource() = default;
  // Null when the folder cannot be opened (denied, vanished, not a folder).
  virtual std::unique_ptr<DirectoryListing> Open(const std::wstring& folderPath) = 0;
  // The same, saying why a folder could not be opened.
  virtual std::unique_ptr<DirectoryListing> OpenChecked(const std::wstring& folderPath, OpenFailure& failure) {
    std::unique_ptr<DirectoryListing> listing = Open(folderPath);
    failure = listing ? OpenFailure::None : OpenFailure::Unavailable;
    return listing;
  }
  // Whether Open may be called from several threads at once (then the walk lists ahead).
  virtual bool OpensConcurrently() const { return false; }
};

// The real file system.
DirectorySource& SystemDirectorySource();

}  // namespace tessaly
