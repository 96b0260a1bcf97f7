// The system's own environment expansion and file test.
#include "Environment.h"

#include <windows.h>
#include <shlwapi.h>

namespace tessaly {

namespace {

class ProcessEnvironment final : public Environment {
 public:
  std::wstring Expand(const std::wstring& text) const override;
};

}  // namespace

const Environment& SystemEnvironment() {
  static const ProcessEnvironment environment;
  return environment;
}

std::wstring ProcessEnvironment::Expand(const std::wstring& text) const {
  DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
    std::wstring out(needed, L'\0');
    DWORD written = ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    if (written == 0) break;
    if (written <= needed) {
      out.resize(wcslen(out.c_str()));
      return out;
    }
    needed = written;
  }
  return text;
}

std::optional<std::wstring> ProcessVariable(const std::wstring& name) {
  DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  DWORD got = GetEnvironmentVariableW(name.c_str(), value.data(), needed);
  if (got == 0 || got >= needed) return got == 0 ? std::optional<std::wstring>(std::wstring()) : std::nullopt;
  value.resize(got);
  return value;
}

bool SetProcessVariable(const std::wstring& name, const std::optional<std::wstring>& value) {
  return SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr) != FALSE;
}

bool PathExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

}  // namespace tessaly
