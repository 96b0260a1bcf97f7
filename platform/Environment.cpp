#include "Environment.h"

#include "CaseFold.h"

namespace tessaly {

std::wstring ExpandVariables(const std::wstring& text,
                             const std::function<std::optional<std::wstring>(const std::wstring& name)>& lookup) {
  std::wstring out;
  size_t position = 0;
  while (position < text.size()) {
    const size_t open = text.find(L'%', position);
    if (open == std::wstring::npos) break;
    const size_t close = text.find(L'%', open + 1);
    if (close == std::wstring::npos) break;
    out.append(text, position, open - position);
    const std::wstring name = text.substr(open + 1, close - open - 1);
    std::optional<std::wstring> value = name.empty() ? std::nullopt : lookup(name);
    if (value) {
      out += *value;
      position = close + 1;
    } else {
      // Unknown: the text stays, and the closing "%" may open the next name.
      out.append(text, open, close - open);
      position = close;
    }
  }
  out.append(text, position, std::wstring::npos);
  return out;
}

void MemoryEnvironment::Set(const std::wstring& name, const std::wstring& value) { values_[ToLower(name)] = value; }

std::wstring MemoryEnvironment::Expand(const std::wstring& text) const {
  return ExpandVariables(text, [this](const std::wstring& name) -> std::optional<std::wstring> {
    auto found = values_.find(ToLower(name));
    if (found == values_.end()) return std::nullopt;
    return found->second;
  });
}

std::wstring ExpandEnvironment(const std::wstring& text) { return SystemEnvironment().Expand(text); }

}  // namespace tessaly
