// The settings store on Windows: the registry itself. Every call opens the key it needs and closes
// it again, so other programs (and the installer library) see changes at once.
#include "SettingsStore.h"

#include "WinHandles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace tessaly {
namespace {

// One open registry key, opened or created once.
class RegistryKey {
 public:

  bool Open(SettingsRoot root, const std::wstring& path, REGSAM access) {
    return RegOpenKeyExW(RootHandle(root), path.c_str(), 0, access, key_.put()) == ERROR_SUCCESS;
  }
  bool Create(SettingsRoot root, const std::wstring& path) {
    return RegCreateKeyExW(RootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE, nullptr, key_.put(), nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_.get(); }

 private:
  static HKEY RootHandle(SettingsRoot root) {
    return root == SettingsRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  }
  win::UniqueRegKey key_;
};

// Text data as stored: bytes of UTF-16, usually but not always zero-terminated.
std::wstring TextFromBytes(const std::vector<uint8_t>& data, bool keepInnerZeros) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  if (keepInnerZeros) {
    // A multi-string ends in two zeros; keep the zeros between its items.
    while (!text.empty() && text.back() == L'\0') text.pop_back();
  } else {
    text.resize(std::wcslen(text.c_str()));
  }
  return text;
}

SettingsValue Decode(DWORD type, const std::vector<uint8_t>& data) {
  SettingsValue value;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      value.type = type == REG_SZ ? SettingsType::String : SettingsType::ExpandString;
      value.text = TextFromBytes(data, false);
      break;
    case REG_MULTI_SZ:
      value.type = SettingsType::MultiString;
      value.text = TextFromBytes(data, true);
      break;
    case REG_DWORD:
      value.type = SettingsType::Dword;
      if (data.size() >= 4) std::memcpy(&value.number, data.data(), 4);
      break;
    default:
      // Anything else is handed on as raw bytes.
      value.type = SettingsType::Binary;
      value.bytes = data;
      break;
  }
  return value;
}

class RegistrySettingsStore final : public SettingsStore {
 public:
  std::optional<SettingsValue> Get(SettingsRoot root, const std::wstring& key,
                                   const std::wstring& valueName) const override {
    RegistryKey opened;
    if (!opened.Open(root, key, KEY_QUERY_VALUE)) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return {};
    }
    // The value may grow between the two calls: retry a few times with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
      std::vector<uint8_t> data(size);
      DWORD got = size;
      LONG status = RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type, data.data(), &got);
      if (status == ERROR_SUCCESS) {
        data.resize(got);
        return Decode(type, data);
      }
      if (status != ERROR_MORE_DATA) return {};
      size = got;
    }
    return {};
  }

  bool Set(SettingsRoot root, const std::wstring& key, const std::wstring& valueName,
           const SettingsValue& value) override {
    RegistryKey opened;
    if (!opened.Create(root, key)) return false;
    std::vector<uint8_t> data;
    DWORD type = static_cast<DWORD>(value.type);
    switch (value.type) {
      case SettingsType::String:
      case SettingsType::ExpandString:
      case SettingsType::MultiString: {
        std::wstring text = value.text;
        if (value.terminated || value.type != SettingsType::String) text.push_back(L'\0');
        if (value.type == SettingsType::MultiString) text.push_back(L'\0');
        data.resize(text.size() * sizeof(wchar_t));
        std::memcpy(data.data(), text.data(), data.size());
        break;
      }
      case SettingsType::Dword:
        data.resize(4);
        std::memcpy(data.data(), &value.number, 4);
        break;
      case SettingsType::Binary:
        data = value.bytes;
        break;
    }
    return RegSetValueExW(opened.get(), valueName.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

  bool Delete(SettingsRoot root, const std::wstring& key, const std::wstring& valueName) override {
    RegistryKey opened;
    if (!opened.Open(root, key, KEY_SET_VALUE)) return false;
    return RegDeleteValueW(opened.get(), valueName.c_str()) == ERROR_SUCCESS;
  }

  std::vector<std::pair<std::wstring, SettingsValue>> Values(SettingsRoot root,
                                                              const std::wstring& key) const override {
    std::vector<std::pair<std::wstring, SettingsValue>> values;
    RegistryKey opened;
    if (!opened.Open(root, key, KEY_QUERY_VALUE)) return values;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
      return values;
    }
    std::vector<wchar_t> name(longestName + 1);
    std::vector<uint8_t> data(longestData + 2);
    for (DWORD index = 0;; ++index) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      LONG status = RegEnumValueW(opened.get(), index, name.data(), &nameLength, nullptr, &type, data.data(),
                                  &dataSize);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status == ERROR_MORE_DATA) {
        // Grown since the key was queried: enlarge and read this index again.
        name.resize(name.size() * 2 + 256);
        data.resize(std::max<size_t>(data.size() * 2, dataSize + 2));
        if (name.size() > 65536 || data.size() > (64u << 20)) break;
        --index;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      values.emplace_back(std::wstring(name.data(), nameLength),
                          Decode(type, std::vector<uint8_t>(data.begin(), data.begin() + dataSize)));
    }
    return values;
  }

  std::vector<std::wstring> SubKeys(SettingsRoot root, const std::wstring& key) const override {
    std::vector<std::wstring> names;
    RegistryKey opened;
    if (!opened.Open(root, key, KEY_ENUMERATE_SUB_KEYS)) return names;
    wchar_t name[256];  // the registry's limit for a key name is 255 characters
    for (DWORD index = 0;; ++index) {
      DWORD length = 256;
      LONG status = RegEnumKeyExW(opened.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (status != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    return names;
  }
};

}  // namespace

SettingsStore& SystemSettingsStore() {
  static RegistrySettingsStore store;
  return store;
}

}  // namespace tessaly
