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

  // Opens an existing file for reading, others may read and write it meanwhile.
  static FileHandle OpenForRead(const std::wstring& path);

  bool IsOpen() const { return native_ != kInvalid; }
  // Bytes read, 0 at the end or on failure.
  size_t Read(void* buffer, size_t count);
  bool Seek(uint64_t offset);
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
