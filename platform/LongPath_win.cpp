#include "LongPath.h"

#include <windows.h>

namespace tessaly {

std::wstring ExtendedLengthPath(const std::wstring& path) {
  // Leave room for "\*" and an 8.3 name that the API may append.
  if (path.size() < MAX_PATH - 14 || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  return path;
}

}  // namespace tessaly
