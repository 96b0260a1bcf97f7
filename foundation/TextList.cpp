#include "TextList.h"

namespace tessaly {

std::vector<std::wstring> SplitList(std::wstring_view text, wchar_t separator) {
  std::vector<std::wstring> items;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::wstring_view::npos) end = text.size();
    if (end > start) items.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace tessaly
