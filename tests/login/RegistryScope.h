// Sets (or, with nullopt, deletes) one registry value of the real store for the life of the
// object, then puts back what was there.
#pragma once

#include "SettingsStore.h"

#include <optional>
#include <string>

namespace tessaly::test {

class RegistryScope {
 public:
  RegistryScope(SettingsRoot root, const wchar_t* key, const wchar_t* name, std::optional<SettingsValue> value)
      : root_(root), key_(key), name_(name), saved_(SystemSettingsStore().Get(root, key, name)) {
    Put(value);
  }
  ~RegistryScope() { Put(saved_); }
  RegistryScope(const RegistryScope&) = delete;
  RegistryScope& operator=(const RegistryScope&) = delete;

  static SettingsValue Text(const std::wstring& text) {
    SettingsValue value;
    value.text = text;
    return value;
  }
  static SettingsValue Bytes(std::vector<uint8_t> bytes) {
    SettingsValue value;
    value.type = SettingsType::Binary;
    value.bytes = std::move(bytes);
    return value;
  }

 private:
  void Put(const std::optional<SettingsValue>& value) {
    if (value) {
      SystemSettingsStore().Set(root_, key_, name_, *value);
    } else {
      SystemSettingsStore().Delete(root_, key_, name_);
    }
  }
  SettingsRoot root_;
  std::wstring key_, name_;
  std::optional<SettingsValue> saved_;
};

inline constexpr wchar_t kOwnKey[] = L"SOFTWARE\\Morvane Software\\Tessaly";
inline constexpr wchar_t kOptionKey[] = L"SOFTWARE\\MvParental\\Option";

}  // namespace tessaly::test
