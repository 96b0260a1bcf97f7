#include "MappedFile.h"

#include "LongPath.h"

#include <windows.h>

#include <utility>

namespace tessaly {

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Release();
    status_ = std::exchange(other.status_, Status::OpenFailed);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    file_ = std::exchange(other.file_, -1);
    mapping_ = std::exchange(other.mapping_, 0);
  }
  return *this;
}

MappedFile MappedFile::Open(const std::wstring& path) {
  MappedFile mapped;
  HANDLE file = CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return mapped;
  mapped.file_ = reinterpret_cast<intptr_t>(file);
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size)) mapped.size_ = static_cast<uint64_t>(size.QuadPart);

  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping) {
    mapped.status_ = Status::MappingFailed;
    return mapped;
  }
  mapped.mapping_ = reinterpret_cast<intptr_t>(mapping);
  // A view must fit the address space: a file larger than that cannot be mapped whole.
  if (mapped.size_ > static_cast<uint64_t>(SIZE_MAX)) {
    mapped.status_ = Status::ViewFailed;
    return mapped;
  }
  void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (!view) {
    mapped.status_ = Status::ViewFailed;
    return mapped;
  }
  mapped.data_ = static_cast<const uint8_t*>(view);
  mapped.status_ = Status::Ok;
  return mapped;
}

void MappedFile::Release() {
  if (data_) UnmapViewOfFile(data_);
  if (mapping_) CloseHandle(reinterpret_cast<HANDLE>(mapping_));
  if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
  data_ = nullptr;
  mapping_ = 0;
  file_ = -1;
}

}  // namespace tessaly
