// The process environment as the P2P client finders see it, behind a small interface so that
// tests give the finders their own variables; and the file test they use.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tessaly {

class Environment {
 public:
  virtual ~Environment() = default;
  // Variables of the form %NAME% replaced by their values; unknown ones stay as written.
  virtual std::wstring Expand(const std::wstring& text) const = 0;
};

// The process environment (ExpandEnvironmentStringsW on Windows).
const Environment& SystemEnvironment();

// Variables set by a test. Names compare without regard to case, as on Windows.
class MemoryEnvironment final : public Environment {
 public:
  void Set(const std::wstring& name, const std::wstring& value);
  std::wstring Expand(const std::wstring& text) const override;

 private:
  std::map<std::wstring, std::wstring> values_;  // by lower-cased name
};

// The expansion rules of ExpandEnvironmentStringsW over a lookup of single names: a name runs
// from one "%" to the next; an unknown one stays, and its closing "%" may open the next name.
std::wstring ExpandVariables(const std::wstring& text,
                             const std::function<std::optional<std::wstring>(const std::wstring& name)>& lookup);

// SystemEnvironment().Expand(text).
std::wstring ExpandEnvironment(const std::wstring& text);
// One variable of the process environment; setting nullopt removes it.
std::optional<std::wstring> ProcessVariable(const std::wstring& name);
bool SetProcessVariable(const std::wstring& name, const std::optional<std::wstring>& value);
bool PathExists(const std::wstring& path);

}  // namespace tessaly
