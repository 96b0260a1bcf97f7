// The settings store outside Windows: the same keys, value names and types as the registry, kept in
// one text file, $XDG_CONFIG_HOME/tessaly/settings.reg (default ~/.config/tessaly/settings.reg).
//
// The file is read on every call and rewritten whole on every change (a temporary file renamed
// over the old one), so a crash mid-write never leaves half a file and other processes see each
// change. Layout, one item per line, UTF-8:
//
//   [HKCU\SOFTWARE\Morvane Software\Tessaly]
//   Language=sz:English(UK)
//   Password=bin:0a1b2c
//   Count=dword:42
//
// Roots are HKCU and HKLM; types sz, expand, multi (items separated by %00), dword (decimal) and
// bin (hex). In key paths, names and text, '%', '=', '[', ']' and control characters are written
// as %XX of their UTF-8 bytes. Lines that do not parse are skipped, so a damaged file loses only
// what is damaged.
#include "SettingsStore.h"

#include "TextConvert.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

namespace tessaly {
namespace {

std::wstring Fold(const std::wstring& text) { return FoldSettingsName(text); }

// Key paths are kept without trailing separators, as the registry shows them.
std::wstring TrimKey(const std::wstring& key) {
  std::wstring trimmed = key;
  while (!trimmed.empty() && trimmed.back() == L'\\') trimmed.pop_back();
  return trimmed;
}

struct StoredKey {
  SettingsRoot root;
  std::wstring name;
  std::vector<std::pair<std::wstring, SettingsValue>> values;
};

using Model = std::vector<StoredKey>;

StoredKey* FindKey(Model& model, SettingsRoot root, const std::wstring& key) {
  const std::wstring wanted = Fold(key);
  for (auto& entry : model) {
    if (entry.root == root && Fold(entry.name) == wanted) return &entry;
  }
  return nullptr;
}

std::pair<std::wstring, SettingsValue>* FindValue(StoredKey& key, const std::wstring& name) {
  const std::wstring wanted = Fold(name);
  for (auto& value : key.values) {
    if (Fold(value.first) == wanted) return &value;
  }
  return nullptr;
}

// --- Text encoding of the file ------------------------------------------------------------------

std::string Escape(const std::wstring& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : WideToUtf8(text)) {
    if (c < 0x20 || c == 0x7F || c == '%' || c == '=' || c == '[' || c == ']') {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::wstring> Unescape(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes.push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return {};
    int high = HexDigit(text[i + 1]);
    int low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return {};
    bytes.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return Utf8ToWide(bytes);
}

std::string EncodeValue(const SettingsValue& value) {
  switch (value.type) {
    case SettingsType::String:
      return "sz:" + Escape(value.text);
    case SettingsType::ExpandString:
      return "expand:" + Escape(value.text);
    case SettingsType::MultiString:
      return "multi:" + Escape(value.text);
    case SettingsType::Dword:
      return "dword:" + std::to_string(value.number);
    case SettingsType::Binary: {
      static const char kHex[] = "0123456789abcdef";
      std::string out = "bin:";
      for (uint8_t b : value.bytes) {
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 15]);
      }
      return out;
    }
  }
  return {};
}

std::optional<SettingsValue> DecodeValue(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return {};
  const std::string_view kind = text.substr(0, colon);
  const std::string_view data = text.substr(colon + 1);
  SettingsValue value;
  if (kind == "sz" || kind == "expand" || kind == "multi") {
    value.type = kind == "sz" ? SettingsType::String
                 : kind == "expand" ? SettingsType::ExpandString
                                    : SettingsType::MultiString;
    auto decoded = Unescape(data);
    if (!decoded) return {};
    value.text = std::move(*decoded);
  } else if (kind == "dword") {
    if (data.empty() || data.size() > 10) return {};
    uint64_t number = 0;
    for (char c : data) {
      if (c < '0' || c > '9') return {};
      number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number > 0xFFFFFFFFu) return {};
    value.type = SettingsType::Dword;
    value.number = static_cast<uint32_t>(number);
  } else if (kind == "bin") {
    if (data.size() % 2 != 0) return {};
    value.type = SettingsType::Binary;
    for (size_t i = 0; i < data.size(); i += 2) {
      int high = HexDigit(data[i]);
      int low = HexDigit(data[i + 1]);
      if (high < 0 || low < 0) return {};
      value.bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
  } else {
    return {};
  }
  return value;
}

Model Parse(const std::string& content) {
  Model model;
  StoredKey* current = nullptr;
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() != ']') continue;
      std::string_view inner(line.data() + 1, line.size() - 2);
      SettingsRoot root;
      if (inner.rfind("HKCU\\", 0) == 0) {
        root = SettingsRoot::CurrentUser;
      } else if (inner.rfind("HKLM\\", 0) == 0) {
        root = SettingsRoot::LocalMachine;
      } else {
        continue;
      }
      auto name = Unescape(inner.substr(5));
      if (!name || TrimKey(*name).empty()) continue;
      current = FindKey(model, root, *name);
      if (!current) {
        model.push_back({root, TrimKey(*name), {}});
        current = &model.back();
      }
      continue;
    }
    if (!current) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    auto name = Unescape(std::string_view(line).substr(0, equals));
    auto value = DecodeValue(std::string_view(line).substr(equals + 1));
    if (!name || !value) continue;
    // A damaged file may repeat a name: the first one stands, as it would have been written.
    if (!FindValue(*current, *name)) current->values.emplace_back(std::move(*name), std::move(*value));
  }
  return model;
}

std::string Serialise(const Model& model) {
  std::string out = "# Tessaly settings: registry-style keys and values.\n";
  for (const auto& key : model) {
    out += "[";
    out += key.root == SettingsRoot::LocalMachine ? "HKLM\\" : "HKCU\\";
    out += Escape(key.name);
    out += "]\n";
    for (const auto& [name, value] : key.values) {
      out += Escape(name);
      out += '=';
      out += EncodeValue(value);
      out += '\n';
    }
  }
  return out;
}

// --- The file -----------------------------------------------------------------------------------

std::string StoreFolder() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/tessaly";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/tessaly";
}

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

class FileSettingsStore final : public SettingsStore {
 public:
  std::optional<SettingsValue> Get(SettingsRoot root, const std::wstring& key,
                                   const std::wstring& valueName) const override {
    std::lock_guard guard(lock_);
    Model model = Load();
    StoredKey* found = FindKey(model, root, key);
    if (!found) return {};
    auto* value = FindValue(*found, valueName);
    if (!value) return {};
    return value->second;
  }

  bool Set(SettingsRoot root, const std::wstring& key, const std::wstring& valueName,
           const SettingsValue& value) override {
    if (TrimKey(key).empty()) return false;
    std::lock_guard guard(lock_);
    Model model = Load();
    StoredKey* found = FindKey(model, root, key);
    if (!found) {
      model.push_back({root, TrimKey(key), {}});
      found = &model.back();
    }
    if (auto* existing = FindValue(*found, valueName)) {
      existing->second = value;
    } else {
      found->values.emplace_back(valueName, value);
    }
    return Save(model);
  }

  bool Delete(SettingsRoot root, const std::wstring& key, const std::wstring& valueName) override {
    std::lock_guard guard(lock_);
    Model model = Load();
    StoredKey* found = FindKey(model, root, key);
    if (!found) return false;
    auto* existing = FindValue(*found, valueName);
    if (!existing) return false;
    found->values.erase(found->values.begin() + (existing - found->values.data()));
    return Save(model);
  }

  std::vector<std::pair<std::wstring, SettingsValue>> Values(SettingsRoot root,
                                                              const std::wstring& key) const override {
    std::lock_guard guard(lock_);
    Model model = Load();
    StoredKey* found = FindKey(model, root, key);
    if (!found) return {};
    return found->values;
  }

  std::vector<std::wstring> SubKeys(SettingsRoot root, const std::wstring& key) const override {
    std::lock_guard guard(lock_);
    std::vector<std::wstring> names;
    const std::wstring prefix = Fold(key) + L"\\";
    for (const auto& entry : Load()) {
      if (entry.root != root || Fold(entry.name).rfind(prefix, 0) != 0) continue;
      std::wstring rest = entry.name.substr(prefix.size());
      rest = rest.substr(0, rest.find(L'\\'));
      if (rest.empty()) continue;
      const bool seen = std::any_of(names.begin(), names.end(),
                                    [&](const std::wstring& n) { return Fold(n) == Fold(rest); });
      if (!seen) names.push_back(rest);
    }
    return names;
  }

 private:
  static std::string FilePath() { return StoreFolder() + "/settings.reg"; }

  static Model Load() {
    std::ifstream in(FilePath(), std::ios::binary);
    if (!in) return {};
    std::ostringstream content;
    content << in.rdbuf();
    return Parse(content.str());
  }

  static bool Save(const Model& model) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = StoreFolder();
    if (!MakeFolders(folder)) return false;
    const std::string target = folder + "/settings.reg";
    const std::string temporary =
        target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const std::string content = Serialise(model);
    FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
    written = std::fflush(out) == 0 && written;
    written = fsync(fileno(out)) == 0 && written;
    written = std::fclose(out) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
      std::remove(temporary.c_str());
      return false;
    }
    return true;
  }

  mutable std::mutex lock_;
};

}  // namespace

SettingsStore& SystemSettingsStore() {
  static FileSettingsStore store;
  return store;
}

}  // namespace tessaly
