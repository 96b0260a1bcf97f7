// Environment expansion as Windows' ExpandEnvironmentStrings does it, and the file test.
#include "Environment.h"

#include "TextConvert.h"

#include <sys/stat.h>

#include <cstdlib>

namespace tessaly {

std::wstring ExpandEnvironment(const std::wstring& text) {
  std::wstring out;
  size_t position = 0;
  while (position < text.size()) {
    const size_t open = text.find(L'%', position);
    if (open == std::wstring::npos) break;
    const size_t close = text.find(L'%', open + 1);
    if (close == std::wstring::npos) break;
    out.append(text, position, open - position);
    const std::wstring name = text.substr(open + 1, close - open - 1);
    const char* value = name.empty() ? nullptr : std::getenv(WideToUtf8(name).c_str());
    if (value) {
      out += NativeToWide(value);
      position = close + 1;
    } else {
      // Unknown: the text stays, and the closing "%" may open the next name.
      out.append(text, open, close - open);
      position = close;
    }
  }
  out.append(text, position, std::wstring::npos);
  return out;
}

bool PathExists(const std::wstring& path) {
  struct stat info;
  return stat(WideToNative(path).c_str(), &info) == 0;
}

}  // namespace tessaly
