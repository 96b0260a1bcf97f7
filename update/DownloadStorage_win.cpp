#include "DownloadStorage.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <utility>

namespace tessaly {
namespace {

// Names the mapping object of a download; an object of this name that already exists belongs to
// another download, and writing into it would fill the wrong file.
constexpr const wchar_t* kMappingName = L"{EC2F64D7-249A-42ff-9259-25C362BE6F9B}";

}  // namespace

DownloadMapping DownloadMapping::Create(const std::wstring& path, uint32_t size) {
  DownloadMapping result;
  result.size_ = size;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return result;
  result.file_ = reinterpret_cast<intptr_t>(file);
  result.status_ = Status::MappingFailed;
  if (size == 0) {
    SetLastError(ERROR_FILE_INVALID);
    return result;
  }
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, size, kMappingName);
  if (mapping && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mapping);
    SetLastError(ERROR_ALREADY_EXISTS);
    return result;
  }
  if (!mapping) return result;
  result.mapping_ = reinterpret_cast<intptr_t>(mapping);
  result.status_ = Status::ViewFailed;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
  if (!view) return result;
  result.data_ = static_cast<uint8_t*>(view);
  result.status_ = Status::Ok;
  return result;
}

void DownloadMapping::Close() {
  if (data_) UnmapViewOfFile(std::exchange(data_, nullptr));
  if (mapping_) CloseHandle(reinterpret_cast<HANDLE>(std::exchange(mapping_, 0)));
  if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(std::exchange(file_, -1)));
}

bool CreateFolderIfMissing(const std::wstring& path) {
  if (CreateDirectoryW(path.c_str(), nullptr)) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  SetLastError(ERROR_ALREADY_EXISTS);  // a file of that name is in the way
  return false;
}

bool MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFileAt(const std::wstring& path) { return DeleteFileW(path.c_str()) != 0; }

UpdateGuid NewUpdateGuid() {
  GUID guid{};
  CoCreateGuid(&guid);
  UpdateGuid result;
  result.data1 = guid.Data1;
  result.data2 = guid.Data2;
  result.data3 = guid.Data3;
  std::memcpy(result.data4, guid.Data4, sizeof result.data4);
  return result;
}

bool StartProgram(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) {
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"OPEN", program.c_str(), parameters.c_str(), folder.c_str(), SW_HIDE));
  return result > 32;
}

}  // namespace tessaly
