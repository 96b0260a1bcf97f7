// Path conventions of the platform: the separator that folder paths are built with.
#pragma once

namespace tessaly {

#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

}  // namespace tessaly
