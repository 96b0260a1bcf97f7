#include "ProfileApi.h"

namespace tessaly {

// No profile API here: the portable INI reader answers instead.
std::optional<std::vector<std::wstring>> SystemIniSectionKeys(const std::wstring&, const std::wstring&, size_t) {
  return std::nullopt;
}

std::optional<std::wstring> SystemIniValue(const std::wstring&, const std::wstring&, const std::wstring&, size_t) {
  return std::nullopt;
}

}  // namespace tessaly
