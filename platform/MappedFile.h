// A whole file mapped read-only into memory, released when the object goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tessaly {

class MappedFile {
 public:
  // Which step failed, so callers can say so.
  enum class Status { Ok, OpenFailed, MappingFailed, ViewFailed };

  MappedFile() = default;
  MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Opens the file for reading (others may read it meanwhile) and maps all of it. An empty file
  // cannot be mapped (MappingFailed).
  static MappedFile Open(const std::wstring& path);

  Status status() const { return status_; }
  const uint8_t* data() const { return data_; }
  uint64_t size() const { return size_; }  // known from OpenFailed on

 private:
  // The owned OS objects behind the view; each platform's file defines them and their release.
  struct Native;
  struct NativeRelease {
    void operator()(Native* native) const;
  };

  Status status_ = Status::OpenFailed;
  const uint8_t* data_ = nullptr;
  uint64_t size_ = 0;
  std::unique_ptr<Native, NativeRelease> native_;
};

}  // namespace tessaly
