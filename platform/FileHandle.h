// An open file for reading: RAII over a Win32 HANDLE or a POSIX descriptor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessaly {

class FileHandle {
 public:
  FileHandle() = default;
  ~FileHandle() { Close(); }
  FileHandle(FileHandle&& other) noexcept : native_(other.native_) { other.native_ = kInvalid; }
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      Close();
      native_ = other.native_;
      other.native_ = kInvalid;
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Opens an existing regular file for reading, others may read and write it meanwhile. Anything
  // else (a folder, a FIFO or named pipe, a device such as CON or /dev/zero) is not opened: it
  // could block the reader for ever or never end, and it holds no file content.
  // Unless `followLink`, a symbolic link in the path's last place is not followed (POSIX).
  static FileHandle OpenForRead(const std::wstring& path, bool followLink = true);
#ifndef _WIN32
  // The same for the entry `name` of the open folder `folder`. Unless `followLink` (the entry
  // was listed as a link), a link that has replaced the entry since it was listed is not followed.
  static FileHandle OpenForReadAt(int folder, const char* name, bool followLink);
#endif

  bool IsOpen() const { return native_ != kInvalid; }
  // Bytes read, 0 at the end or on failure.
  size_t Read(void* buffer, size_t count);
  bool Seek(uint64_t offset);
  // Reads up to `count` bytes at `offset` without using the current position; fewer at the end
  // of the file (also when it has shrunk meanwhile), 0 on failure.
  size_t ReadAt(uint64_t offset, void* buffer, size_t count);
  // Size in bytes, or -1 when it cannot be learned.
  int64_t Size() const;
  void Close();

  intptr_t native() const { return native_; }
  static FileHandle Adopt(intptr_t native) {
    FileHandle handle;
    handle.native_ = native;
    return handle;
  }

 private:
  static constexpr intptr_t kInvalid = -1;
  intptr_t native_ = kInvalid;
};

}  // namespace tessaly
