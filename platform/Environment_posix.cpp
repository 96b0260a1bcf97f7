// The process environment, expanded by the rules of Windows' ExpandEnvironmentStrings, and the
// file test.
#include "Environment.h"

#include "TextConvert.h"

#include <sys/stat.h>

#include <cstdlib>

namespace tessaly {

namespace {

class ProcessEnvironment final : public Environment {
 public:
  std::wstring Expand(const std::wstring& text) const override {
    return ExpandVariables(text, ProcessVariable);
  }
};

}  // namespace

const Environment& SystemEnvironment() {
  static const ProcessEnvironment environment;
  return environment;
}

std::optional<std::wstring> ProcessVariable(const std::wstring& name) {
  const char* value = std::getenv(WideToUtf8(name).c_str());
  if (!value) return std::nullopt;
  return NativeToWide(value);
}

bool SetProcessVariable(const std::wstring& name, const std::optional<std::wstring>& value) {
  const std::string key = WideToUtf8(name);
  return (value ? ::setenv(key.c_str(), WideToNative(*value).c_str(), 1) : ::unsetenv(key.c_str())) == 0;
}

bool PathExists(const std::wstring& path) {
  struct stat info;
  return stat(WideToNative(path).c_str(), &info) == 0;
}

}  // namespace tessaly
