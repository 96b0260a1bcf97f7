// Helpers for the finder tests: encodings of fixture files and a scoped process variable.
#pragma once

#include "Environment.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tessaly::test {

// UTF-16LE bytes of text (ASCII and Latin-1 here), without a byte-order mark.
inline std::string Utf16(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes;
}

inline std::string U32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

inline std::string U16(uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; }

// Sets a variable of the process environment for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const std::wstring& name, const std::wstring& value) : name_(name), old_(ProcessVariable(name)) {
    SetProcessVariable(name, value);
  }
  ~ScopedEnv() { SetProcessVariable(name_, old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> old_;
};

}  // namespace tessaly::test
