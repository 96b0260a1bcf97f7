#include "MappedFile.h"

#include "DebugLog.h"
#include "LongPath.h"
#include "MvError.h"
#include "WinHandles.h"

#include <windows.h>

namespace tessaly {

// Members go in reverse order: the view, then the mapping, then the file.
struct MappedFile::Native {
  win::UniqueFile file;
  win::UniqueKernelHandle mapping;
  win::UniqueMappedView view;
};

void MappedFile::NativeRelease::operator()(Native* native) const { delete native; }

MappedFile MappedFile::Open(const std::wstring& path) {
  MappedFile mapped;
  win::UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  if (!file) return mapped;
  mapped.native_.reset(new Native{std::move(file), {}, {}});
  Native& native = *mapped.native_;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(native.file.get(), &size) || size.QuadPart < 0) {
    DebugPrint(L"GetFileSizeEx(%s) failed: %s\r\n", path, MvError::GetLastError());
    mapped.status_ = Status::MappingFailed;
    return mapped;
  }
  mapped.size_ = static_cast<uint64_t>(size.QuadPart);

  native.mapping.reset(CreateFileMappingW(native.file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!native.mapping) {
    mapped.status_ = Status::MappingFailed;
    return mapped;
  }
  // A view must fit the address space: a file larger than that cannot be mapped whole.
  if (mapped.size_ > static_cast<uint64_t>(SIZE_MAX)) {
    mapped.status_ = Status::ViewFailed;
    return mapped;
  }
  native.view.reset(MapViewOfFile(native.mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!native.view) {
    mapped.status_ = Status::ViewFailed;
    return mapped;
  }
  mapped.data_ = static_cast<const uint8_t*>(native.view.get());
  mapped.status_ = Status::Ok;
  return mapped;
}

}  // namespace tessaly
