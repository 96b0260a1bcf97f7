#include "PasswordStore.h"

#include "AnsiCodePage.h"
#include "CaseFold.h"
#include "DebugLog.h"
#include "LegacyLogin.h"
#include "Settings.h"

namespace tessaly {
namespace {

constexpr size_t kMigratedCharacters = 512;

char LowerAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool PasswordExists(const SettingsStore& store) { return Settings(store).Password().has_value(); }

std::optional<std::wstring> StoredQuestion(const SettingsStore& store) { return Settings(store).PasswordQuestion(); }

std::optional<std::wstring> MigratedLegacyPassword(const SettingsStore& store) {
  std::optional<std::vector<uint8_t>> value = Settings(store).LegacyLogin();
  if (!value) return std::nullopt;
  std::string plain = DecipherLegacyLogin(*value);
  for (char& c : plain) c = LowerAsciiLetter(c);
  std::wstring password = AnsiToWide(plain);
  if (password.size() > kMigratedCharacters) password.resize(kMigratedCharacters);
  if (password.empty()) return std::nullopt;
  return password;
}

bool CheckPassword(SettingsStore& store, std::wstring_view entered) {
  if (entered.empty()) return false;
  if (std::optional<std::wstring> stored = Settings(store).Password()) return *stored == entered;
  // An empty older value is not migrated: storing it would leave a password nobody can enter.
  std::optional<std::wstring> migrated = MigratedLegacyPassword(store);
  if (!migrated) return false;
  DebugPrint(L"CheckPassword(), the older password becomes the login password\r\n");
  StorePassword(store, *migrated);
  return EqualsNoCase(*migrated, entered);
}

bool CheckAnswer(const SettingsStore& store, std::wstring_view entered) {
  if (entered.empty()) return false;
  std::optional<std::wstring> stored = Settings(store).PasswordAnswer();
  return stored && *stored == entered;
}

bool StorePassword(SettingsStore& store, const std::wstring& password) { return Settings(store).SetPassword(password); }
bool StoreQuestion(SettingsStore& store, const std::wstring& question) {
  return Settings(store).SetPasswordQuestion(question);
}
bool StoreAnswer(SettingsStore& store, const std::wstring& answer) { return Settings(store).SetPasswordAnswer(answer); }

}  // namespace tessaly
