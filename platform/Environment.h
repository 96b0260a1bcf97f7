// The process environment and file tests as the P2P client finders use them.
#pragma once

#include <string>

namespace tessaly {

// Environment variables of the form %NAME% replaced by their values; unknown ones stay as written.
std::wstring ExpandEnvironment(const std::wstring& text);
bool PathExists(const std::wstring& path);

}  // namespace tessaly
