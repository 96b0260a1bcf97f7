// The settings store: the Win32 registry on Windows; on POSIX a store with the same keys, value
// names and types kept in one file under $XDG_CONFIG_HOME/tessaly/. Portable code reads and
// writes registry-style values only through this interface.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

enum class SettingsRoot { CurrentUser, LocalMachine };

// Registry value types, with the Win32 numbers.
enum class SettingsType : uint32_t { String = 1, ExpandString = 2, Binary = 3, Dword = 4, MultiString = 7 };

struct SettingsValue {
  SettingsType type = SettingsType::String;
  std::wstring text;                // String, ExpandString; MultiString joined with '\0'
  std::vector<uint8_t> bytes;       // Binary
  uint32_t number = 0;              // Dword
  // String: false stores the characters only, without the terminating zero (the installer's
  // language value is kept so); readers see the same text either way.
  bool terminated = true;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // key is a backslash-separated path below the root, e.g. "SOFTWARE\\Morvane Software\\Tessaly".
  virtual std::optional<SettingsValue> Get(SettingsRoot root, const std::wstring& key,
                                           const std::wstring& valueName) const = 0;
  virtual bool Set(SettingsRoot root, const std::wstring& key, const std::wstring& valueName,
                   const SettingsValue& value) = 0;
  virtual bool Delete(SettingsRoot root, const std::wstring& key, const std::wstring& valueName) = 0;
  // Every value of a key, in the store's order; empty when the key does not exist.
  virtual std::vector<std::pair<std::wstring, SettingsValue>> Values(SettingsRoot root,
                                                                      const std::wstring& key) const = 0;
  virtual std::vector<std::wstring> SubKeys(SettingsRoot root, const std::wstring& key) const = 0;

  // Conveniences over Get.
  std::optional<std::wstring> GetText(SettingsRoot root, const std::wstring& key, const std::wstring& name) const {
    auto value = Get(root, key, name);
    if (!value || (value->type != SettingsType::String && value->type != SettingsType::ExpandString)) return {};
    return value->text;
  }
  std::optional<uint32_t> GetDword(SettingsRoot root, const std::wstring& key, const std::wstring& name) const {
    auto value = Get(root, key, name);
    if (!value || value->type != SettingsType::Dword) return {};
    return value->number;
  }
};

// A key or value name as the stores compare it: lower-cased, trailing backslashes dropped.
std::wstring FoldSettingsName(std::wstring_view name);

// The real store of this platform.
SettingsStore& SystemSettingsStore();

// An in-memory store for tests. Key and value names compare without regard to case, as in the
// registry.
class MemorySettingsStore final : public SettingsStore {
 public:
  std::optional<SettingsValue> Get(SettingsRoot root, const std::wstring& key,
                                   const std::wstring& valueName) const override;
  bool Set(SettingsRoot root, const std::wstring& key, const std::wstring& valueName,
           const SettingsValue& value) override;
  bool Delete(SettingsRoot root, const std::wstring& key, const std::wstring& valueName) override;
  std::vector<std::pair<std::wstring, SettingsValue>> Values(SettingsRoot root,
                                                              const std::wstring& key) const override;
  std::vector<std::wstring> SubKeys(SettingsRoot root, const std::wstring& key) const override;

 private:
  struct Key {
    std::wstring displayName;
    std::vector<std::pair<std::wstring, SettingsValue>> values;
  };
  std::map<std::pair<SettingsRoot, std::wstring>, Key> keys_;
};

}  // namespace tessaly
