#include "TextFile.h"

#include "FileBytes.h"
#include "Utf16Text.h"

namespace tessaly {

bool WriteUtf16LeFile(const std::wstring& path, const std::wstring& text) {
  return WriteWholeFile(path, WideToUtf16Le(text));
}

}  // namespace tessaly
