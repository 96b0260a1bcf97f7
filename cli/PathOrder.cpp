#include "PathOrder.h"

#include <algorithm>

namespace tessaly {

// Most pairs differ inside their folders or share the folder (the records of one folder point at
// the same text), so the usual case is one block comparison.
int ComparePaths(std::wstring_view aFolder, std::wstring_view aName, std::wstring_view bFolder,
                 std::wstring_view bName) {
  if (aFolder.data() == bFolder.data() && aFolder.size() == bFolder.size()) return aName.compare(bName);
  // Each side is two pieces; compare block by block, stepping to the name when a folder ends.
  std::wstring_view a = aFolder, b = bFolder;
  bool aOnName = false, bOnName = false;
  for (;;) {
    if (a.empty() && !aOnName) a = aName, aOnName = true;
    if (b.empty() && !bOnName) b = bName, bOnName = true;
    // An empty piece here is the end of its side: the shorter text comes first.
    if (a.empty() || b.empty()) return a.empty() ? (b.empty() ? 0 : -1) : 1;
    const size_t common = std::min(a.size(), b.size());
    if (int c = a.substr(0, common).compare(b.substr(0, common)); c != 0) return c;
    a.remove_prefix(common);
    b.remove_prefix(common);
  }
}

}  // namespace tessaly
