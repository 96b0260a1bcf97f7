#include "FileHandle.h"

#include "LongPath.h"

#include <windows.h>

#include <algorithm>

namespace tessaly {
namespace {

HANDLE AsHandle(intptr_t native) { return reinterpret_cast<HANDLE>(native); }

}  // namespace

FileHandle FileHandle::OpenForRead(const std::wstring& path, bool) {
  HANDLE handle = CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileHandle();
  // A named pipe or a device (CON, NUL, COM1 ... also as a name inside a folder) opens like a
  // file but holds no file content and may block a read for ever.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    SetLastError(ERROR_BAD_FILE_TYPE);
    return FileHandle();
  }
  return Adopt(reinterpret_cast<intptr_t>(handle));
}

size_t FileHandle::Read(void* buffer, size_t count) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < count) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(AsHandle(native_), out + total, chunk, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}

size_t FileHandle::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < count) {
    const uint64_t at = offset + total;
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(at);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
    DWORD got = 0;
    // A file on a share or a disk that went away fails here like a short file.
    if (!ReadFile(AsHandle(native_), out + total, chunk, &got, &position) || got == 0) break;
    total += got;
  }
  return total;
}

bool FileHandle::Seek(uint64_t offset) {
  if (!IsOpen()) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(AsHandle(native_), distance, nullptr, FILE_BEGIN) != 0;
}

int64_t FileHandle::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(AsHandle(native_), &size)) return -1;
  return size.QuadPart;
}

void FileHandle::Close() {
  if (IsOpen()) CloseHandle(AsHandle(native_));
  native_ = kInvalid;
}

}  // namespace tessaly
