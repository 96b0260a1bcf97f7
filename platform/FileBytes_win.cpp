#include "FileBytes.h"

#include "LongPath.h"
#include "WinHandles.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace tessaly {

std::optional<std::string> ReadWholeFile(const std::wstring& path, uint64_t limit) {
  win::UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  // A pipe or a device (CON, NUL) holds no file content and may never end.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  if (static_cast<uint64_t>(size.QuadPart) > limit || static_cast<uint64_t>(size.QuadPart) > SIZE_MAX / 2) {
    return std::nullopt;
  }
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  size_t total = 0;
  while (total < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - total, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + total, chunk, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    total += got;
  }
  if (total != bytes.size()) return std::nullopt;
  return bytes;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t total = 0;
  while (total < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - total, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + total, chunk, &written, nullptr) || written == 0) return false;
    total += written;
  }
  return true;
}

}  // namespace tessaly
