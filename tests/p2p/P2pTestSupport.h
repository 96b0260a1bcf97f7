// Fixtures for the finder tests: a program folder, environment folders and registry values that a
// test writes and removes again.
#pragma once

#include "Paths.h"
#include "SettingsStore.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

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

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const std::wstring& name, const std::wstring& value) : name_(name) {
#ifdef _WIN32
    wchar_t buffer[32768];
    DWORD got = GetEnvironmentVariableW(name.c_str(), buffer, 32768);
    if (got > 0 && got < 32768) old_ = std::wstring(buffer, got);
    SetEnvironmentVariableW(name.c_str(), value.c_str());
#else
    if (const char* old = std::getenv(WideToUtf8(name).c_str())) old_ = NativeToWide(old);
    setenv(WideToUtf8(name).c_str(), WideToNative(value).c_str(), 1);
#endif
  }
  ~ScopedEnv() {
#ifdef _WIN32
    SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr);
#else
    if (old_) setenv(WideToUtf8(name_).c_str(), WideToNative(*old_).c_str(), 1);
    else unsetenv(WideToUtf8(name_).c_str());
#endif
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> old_;
};

// Registry values under HKEY_CURRENT_USER for one test: written with the Win32 API on Windows and
// into the settings store's file (in a scratch config folder) elsewhere; removed at the end.
class ScratchRegistry {
 public:
  ScratchRegistry() {
#ifndef _WIN32
    xdg_.emplace(L"XDG_CONFIG_HOME", scratch_.root().wstring());
#endif
  }
  ~ScratchRegistry() {
#ifdef _WIN32
    for (const auto& top : tops_) RegDeleteTreeW(HKEY_CURRENT_USER, top.c_str());
#endif
  }
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // key must lie below "software\<vendor>", which is removed whole afterwards.
  void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    SettingsValue value;
    value.text = text;
    Write(key, name, value);
  }
  void SetDword(const std::wstring& key, const std::wstring& name, uint32_t number) {
    SettingsValue value;
    value.type = SettingsType::Dword;
    value.number = number;
    Write(key, name, value);
  }

 private:
  void Write(const std::wstring& key, const std::wstring& name, const SettingsValue& value) {
    const size_t second = key.find(L'\\', key.find(L'\\') + 1);
    tops_.push_back(key.substr(0, second));
#ifdef _WIN32
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
      return;
    }
    if (value.type == SettingsType::Dword) {
      RegSetValueExW(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number), 4);
    } else {
      RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                     static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(handle);
#else
    SystemSettingsStore().Set(SettingsRoot::CurrentUser, key, name, value);
#endif
  }

  TempTree scratch_;
  std::optional<ScopedEnv> xdg_;
  std::vector<std::wstring> tops_;
};

}  // namespace tessaly::test
