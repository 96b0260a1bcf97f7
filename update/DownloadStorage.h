// The file side of a download: a new file mapped writable at exactly its expected size, the
// folder, the move into place, fresh GUIDs and starting the updater. Each call that fails leaves
// the system's error for MvError::GetLastError.
#pragma once

#include "UpdaterCommand.h"

#include <cstdint>
#include <string>

namespace tessaly {

class DownloadMapping {
 public:
  enum class Status { Ok, CreateFailed, MappingFailed, ViewFailed };

  DownloadMapping() = default;
  ~DownloadMapping() { Close(); }
  DownloadMapping(DownloadMapping&& other) noexcept { *this = std::move(other); }
  DownloadMapping& operator=(DownloadMapping&& other) noexcept;
  DownloadMapping(const DownloadMapping&) = delete;
  DownloadMapping& operator=(const DownloadMapping&) = delete;

  // Creates (or truncates) path and maps size bytes of it writable. A size of 0 cannot be
  // mapped (MappingFailed).
  static DownloadMapping Create(const std::wstring& path, uint32_t size);

  Status status() const { return status_; }
  uint8_t* data() const { return data_; }
  uint32_t size() const { return size_; }
  // Unmaps and closes; the file keeps its size of size() bytes.
  void Close();

 private:
  Status status_ = Status::CreateFailed;
  uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
  intptr_t file_ = -1;    // HANDLE or descriptor
  intptr_t mapping_ = 0;  // the mapping object (Windows)
};

// An existing folder is fine.
bool CreateFolderIfMissing(const std::wstring& path);
// Moves from over to, replacing it, written through to the disk before returning.
bool MoveIntoPlace(const std::wstring& from, const std::wstring& to);
bool RemoveFileAt(const std::wstring& path);
UpdateGuid NewUpdateGuid();
// Starts program hidden with the parameter string and the working folder.
bool StartProgram(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder);

}  // namespace tessaly
