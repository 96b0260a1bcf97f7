#include "DirectoryListing.h"

#include "DebugLog.h"
#include "LongPath.h"
#include "MvError.h"
#include "WinHandles.h"

#include <windows.h>

namespace tessaly {
namespace {

class Win32Listing final : public DirectoryListing {
 public:
  Win32Listing(HANDLE handle, const WIN32_FIND_DATAW& first) : find_(handle), data_(first) {}

  bool Next(DirEntry& entry) override {
    if (!pendingFirst_ && !FindNextFileW(find_.get(), &data_)) {
      if (GetLastError() != ERROR_NO_MORE_FILES) {
        DebugPrint(L"FindNextFileW failed after \"%s\": %s\r\n", std::wstring(data_.cFileName),
                   MvError::GetLastError());
      }
      return false;
    }
    pendingFirst_ = false;
    entry.name = data_.cFileName;
    entry.isDirectory = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isLinkedDirectory = entry.isDirectory && (data_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.sizeHigh = data_.nFileSizeHigh;
    entry.sizeLow = data_.nFileSizeLow;
    entry.lastWriteTime = (static_cast<uint64_t>(data_.ftLastWriteTime.dwHighDateTime) << 32) |
                          data_.ftLastWriteTime.dwLowDateTime;
    return true;
  }

  FileHandle OpenFile(const std::wstring&, const std::wstring& fullPath, bool) const override {
    return FileHandle::OpenForRead(fullPath);
  }

 private:
  win::UniqueFind find_;
  WIN32_FIND_DATAW data_;
  bool pendingFirst_ = true;
};

class Win32DirectorySource final : public DirectorySource {
 public:
  bool OpensConcurrently() const override { return true; }

  std::unique_ptr<DirectoryListing> Open(const std::wstring& folderPath) override {
    OpenFailure failure;
    return OpenChecked(folderPath, failure);
  }

  std::unique_ptr<DirectoryListing> OpenChecked(const std::wstring& folderPath, OpenFailure& failure) override {
    std::wstring pattern = folderPath;
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW first{};
    HANDLE handle = FindFirstFileW(ExtendedLengthPath(pattern).c_str(), &first);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD reason = GetLastError();
      failure = reason == ERROR_NOT_ENOUGH_MEMORY || reason == ERROR_OUTOFMEMORY || reason == ERROR_TOO_MANY_OPEN_FILES ||
                        reason == ERROR_NO_SYSTEM_RESOURCES
                    ? OpenFailure::OutOfResources
                    : OpenFailure::Unavailable;
      return nullptr;
    }
    failure = OpenFailure::None;
    return std::make_unique<Win32Listing>(handle, first);
  }
};

}  // namespace

DirectorySource& SystemDirectorySource() {
  static Win32DirectorySource source;
  return source;
}

}  // namespace tessaly
