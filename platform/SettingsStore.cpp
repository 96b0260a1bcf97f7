#include "SettingsStore.h"

#include "CaseFold.h"

namespace tessaly {

std::wstring FoldSettingsName(std::wstring_view name) {
  std::wstring folded = ToLower(name);
  while (!folded.empty() && folded.back() == L'\\') folded.pop_back();
  return folded;
}

}  // namespace tessaly
