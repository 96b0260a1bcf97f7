// The password checks and the migration of the older store, over the in-memory settings store.
#include "LegacyLogin.h"
#include "PasswordStore.h"
#include "SecuritySettingsRules.h"
#include "Settings.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

constexpr const wchar_t* kOwnKey = L"SOFTWARE\\Morvane Software\\Tessaly";
constexpr const wchar_t* kOptionKey = L"SOFTWARE\\MvParental\\Option";

// The in-memory store, counting what is read from HKEY_LOCAL_MACHINE.
class WatchedStore final : public SettingsStore {
 public:
  std::optional<SettingsValue> Get(SettingsRoot root, const std::wstring& key, const std::wstring& name) const override {
    if (root == SettingsRoot::LocalMachine) ++machineReads;
    return inner.Get(root, key, name);
  }
  bool Set(SettingsRoot root, const std::wstring& key, const std::wstring& name, const SettingsValue& value) override {
    return inner.Set(root, key, name, value);
  }
  bool Delete(SettingsRoot root, const std::wstring& key, const std::wstring& name) override {
    return inner.Delete(root, key, name);
  }
  std::vector<std::pair<std::wstring, SettingsValue>> Values(SettingsRoot root, const std::wstring& key) const override {
    return inner.Values(root, key);
  }
  std::vector<std::wstring> SubKeys(SettingsRoot root, const std::wstring& key) const override {
    return inner.SubKeys(root, key);
  }

  MemorySettingsStore inner;
  mutable int machineReads = 0;
};

void PutLegacy(SettingsStore& store, const std::vector<uint8_t>& bytes) {
  SettingsValue value;
  value.type = SettingsType::Binary;
  value.bytes = bytes;
  store.Set(SettingsRoot::LocalMachine, kOptionKey, L"lgon", value);
}

std::vector<uint8_t> StoredBytes(const SettingsStore& store, const wchar_t* name) {
  auto value = store.Get(SettingsRoot::CurrentUser, kOwnKey, name);
  return value ? value->bytes : std::vector<uint8_t>{};
}

TEST(PasswordStore, StoredPasswordMustMatchExactly) {
  struct {
    const wchar_t* entered;
    bool accepted;
  } cases[] = {
      {L"Tr0ub4dor", true},  {L"tr0ub4dor", false}, {L"TR0UB4DOR", false},
      {L"Tr0ub4do", false},  {L"Tr0ub4dor ", false}, {L"", false},
  };
  WatchedStore store;
  StorePassword(store, L"Tr0ub4dor");
  // Even a legacy value that would match in another case is not looked at.
  PutLegacy(store, EncipherLegacyLogin("tr0ub4dor"));
  for (const auto& c : cases) EXPECT_EQ(CheckPassword(store, c.entered), c.accepted) << WideToUtf8(c.entered);
  EXPECT_EQ(store.machineReads, 0) << "the older store is never opened while a password exists";
  EXPECT_TRUE(PasswordExists(store));
}

TEST(PasswordStore, ValuesAreUtf16WithoutTerminator) {
  MemorySettingsStore store;
  StorePassword(store, L"pw\u00e9");
  StoreQuestion(store, L"Q?");
  StoreAnswer(store, L"A");
  EXPECT_EQ(StoredBytes(store, L"Password"), (std::vector<uint8_t>{'p', 0, 'w', 0, 0xE9, 0}));
  EXPECT_EQ(StoredBytes(store, L"PQuestion"), (std::vector<uint8_t>{'Q', 0, '?', 0}));
  EXPECT_EQ(StoredBytes(store, L"PQNanswer"), (std::vector<uint8_t>{'A', 0}));
  EXPECT_EQ(StoredQuestion(store), L"Q?");
}

TEST(PasswordStore, LongestPasswordIsReadWhole) {
  MemorySettingsStore store;
  const std::wstring longest(256, L'x');
  StorePassword(store, longest);
  EXPECT_TRUE(CheckPassword(store, longest));
  EXPECT_FALSE(CheckPassword(store, longest.substr(0, 255)));
  // One more character does not fit the reader's 512 bytes: the value counts as absent.
  StorePassword(store, longest + L"x");
  EXPECT_FALSE(PasswordExists(store));
}

TEST(PasswordStore, AnswerMustMatchExactly) {
  struct {
    const wchar_t* entered;
    bool accepted;
  } cases[] = {{L"Casablanca", true}, {L"casablanca", false}, {L"Casablanc", false}, {L"", false}};
  MemorySettingsStore store;
  for (const auto& c : cases) EXPECT_FALSE(CheckAnswer(store, c.entered)) << "no answer stored";
  StoreAnswer(store, L"Casablanca");
  for (const auto& c : cases) EXPECT_EQ(CheckAnswer(store, c.entered), c.accepted) << WideToUtf8(c.entered);
}

TEST(PasswordStore, MigratedPasswordIsLoweredAndAcceptedInAnyCase) {
  struct {
    const wchar_t* entered;
    bool accepted;
  } cases[] = {{L"SeCReT9x", true}, {L"secret9x", true}, {L"SECRET9X", true}, {L"secret9", false}};
  for (const auto& c : cases) {
    WatchedStore store;
    PutLegacy(store, EncipherLegacyLogin("SeCReT9x"));
    EXPECT_EQ(CheckPassword(store, c.entered), c.accepted) << WideToUtf8(c.entered);
    // Migrated whatever was typed, lower-cased; the older store stays as it is.
    EXPECT_EQ(Settings(store).Password(), L"secret9x") << WideToUtf8(c.entered);
    EXPECT_TRUE(store.inner.Get(SettingsRoot::LocalMachine, kOptionKey, L"lgon"));
  }
}

TEST(PasswordStore, MigrationLowersAsciiLettersOnly) {
  MemorySettingsStore store;
  PutLegacy(store, EncipherLegacyLogin("\xC4pfel"));  // A-umlaut in Windows-1252
  EXPECT_TRUE(CheckPassword(store, L"\u00C4PFEL"));
  EXPECT_EQ(Settings(store).Password(), L"\u00C4pfel");
}

TEST(PasswordStore, NothingToMigrate) {
  struct {
    const char* name;
    std::optional<std::vector<uint8_t>> legacy;
  } cases[] = {
      {"no older value", std::nullopt},
      {"an empty older password", EncipherLegacyLogin("")},
      {"shorter than a block", std::vector<uint8_t>{1, 2, 3}},
  };
  for (const auto& c : cases) {
    MemorySettingsStore store;
    if (c.legacy) PutLegacy(store, *c.legacy);
    EXPECT_FALSE(CheckPassword(store, L"anything")) << c.name;
    EXPECT_FALSE(PasswordExists(store)) << c.name << ": nothing was stored";
  }
}

TEST(SecuritySettingsRules, ChecksInOrder) {
  struct {
    const char* name;
    SecuritySettingsEntries entries;
    const wchar_t* error;  // null: accepted
  } cases[] = {
      {"exactly six characters", {L"abcdef", L"abcdef", L"ok", L"Q?"}, nullptr},
      {"five characters, even with a differing second entry", {L"abcde", L"xyz", L"ok", L"Q?"},
       L"IDS_ERRORPASSWORDMUSTBEATLEAST6"},
      {"second entry differs in case", {L"abcdef", L"ABCDEF", L"ok", L"Q?"}, L"IDS_ERRORPASSWORDDOESNOTMATCH"},
      {"one-character answer", {L"abcdef", L"abcdef", L"a", L"Q?"}, L"IDS_ERRORYOUMUSTCHOOSEANANSWER"},
      {"one-character answer and question: the answer first", {L"abcdef", L"abcdef", L"a", L"Q"},
       L"IDS_ERRORYOUMUSTCHOOSEANANSWER"},
      {"one-character question", {L"abcdef", L"abcdef", L"ok", L"Q"}, L"IDS_ERRORYOUMUSTCHOOSEAQUESTION"},
  };
  for (const auto& c : cases) {
    const wchar_t* error = SecuritySettingsError(c.entries);
    EXPECT_EQ(std::wstring(error ? error : L"(none)"), std::wstring(c.error ? c.error : L"(none)")) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
