#include "SettingsStore.h"

#include <algorithm>

namespace tessaly {
namespace {

std::wstring Fold(const std::wstring& text) { return FoldSettingsName(text); }

}  // namespace

std::optional<SettingsValue> MemorySettingsStore::Get(SettingsRoot root, const std::wstring& key,
                                                      const std::wstring& valueName) const {
  auto found = keys_.find({root, Fold(key)});
  if (found == keys_.end()) return {};
  const std::wstring wanted = Fold(valueName);
  for (const auto& [name, value] : found->second.values) {
    if (Fold(name) == wanted) return value;
  }
  return {};
}

bool MemorySettingsStore::Set(SettingsRoot root, const std::wstring& key, const std::wstring& valueName,
                              const SettingsValue& value) {
  Key& entry = keys_[{root, Fold(key)}];
  if (entry.displayName.empty()) entry.displayName = key;
  const std::wstring wanted = Fold(valueName);
  for (auto& [name, existing] : entry.values) {
    if (Fold(name) == wanted) {
      existing = value;
      return true;
    }
  }
  entry.values.emplace_back(valueName, value);
  return true;
}

bool MemorySettingsStore::Delete(SettingsRoot root, const std::wstring& key, const std::wstring& valueName) {
  auto found = keys_.find({root, Fold(key)});
  if (found == keys_.end()) return false;
  auto& values = found->second.values;
  const std::wstring wanted = Fold(valueName);
  auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return Fold(v.first) == wanted; });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

std::vector<std::pair<std::wstring, SettingsValue>> MemorySettingsStore::Values(SettingsRoot root,
                                                                                 const std::wstring& key) const {
  auto found = keys_.find({root, Fold(key)});
  if (found == keys_.end()) return {};
  return found->second.values;
}

std::vector<std::wstring> MemorySettingsStore::SubKeys(SettingsRoot root, const std::wstring& key) const {
  std::vector<std::wstring> names;
  const std::wstring prefix = Fold(key) + L"\\";
  for (const auto& [id, entry] : keys_) {
    if (id.first != root || id.second.rfind(prefix, 0) != 0) continue;
    std::wstring rest = entry.displayName.substr(std::min(entry.displayName.size(), prefix.size()));
    rest = rest.substr(0, rest.find(L'\\'));
    if (!rest.empty() && std::find(names.begin(), names.end(), rest) == names.end()) names.push_back(rest);
  }
  return names;
}

}  // namespace tessaly
