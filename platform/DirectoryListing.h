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
  uint32_t sizeHigh = 0;
  uint32_t sizeLow = 0;
  uint64_t lastWriteTime = 0;  // FILETIME: 100 ns units since 1601-01-01 UTC

  uint64_t Size() const { return (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow; }
};

class DirectoryListing {
 public:
  virtual ~DirectoryListing() = default;
  // Fills the next entry; false at the end.
  virtual bool Next(DirEntry& entry) = 0;
  // Opens a file of this folder for reading, relative to the open folder where the platform can.
  virtual FileHandle OpenFile(const std::wstring& name, const std::wstring& fullPath) const = 0;
};

// Where folders are listed from; the walk takes one so tests can stand in for the disk.
class DirectorySource {
 public:
  virtual ~DirectorySource() = default;
  // Null when the folder cannot be opened (denied, vanished, not a folder).
  virtual std::unique_ptr<DirectoryListing> Open(const std::wstring& folderPath) = 0;
  // Whether Open may be called from several threads at once (then the walk lists ahead).
  virtual bool OpensConcurrently() const { return false; }
};

// The real file system.
DirectorySource& SystemDirectorySource();

}  // namespace tessaly
