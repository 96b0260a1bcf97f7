// The settings module over the in-memory store: value names, types and formats as the other
// deliverable and the installer write them, and the readers' fallback rules.
#include "Settings.h"
#include "SettingsStore.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

constexpr const wchar_t* kOptionKey = L"SOFTWARE\\MvParental\\Option";

SettingsValue Text(std::wstring text) {
  SettingsValue value;
  value.type = SettingsType::String;
  value.text = std::move(text);
  return value;
}

SettingsValue Dword(uint32_t number) {
  SettingsValue value;
  value.type = SettingsType::Dword;
  value.number = number;
  return value;
}

SettingsValue Bytes(std::vector<uint8_t> bytes) {
  SettingsValue value;
  value.type = SettingsType::Binary;
  value.bytes = std::move(bytes);
  return value;
}

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

class SettingsTest : public ::testing::Test {
 protected:
  void SetOwn(const wchar_t* name, const SettingsValue& value) {
    store_.Set(SettingsRoot::CurrentUser, kProgramSettingsKey, name, value);
  }
  void SetLegacy(const wchar_t* name, const SettingsValue& value) {
    store_.Set(SettingsRoot::LocalMachine, kOptionKey, name, value);
  }
  MemorySettingsStore store_;
  Settings settings_{store_};
};

TEST_F(SettingsTest, FirstRunHasEveryDefault) {
  EXPECT_FALSE(settings_.Language());
  EXPECT_EQ(settings_.ChooseLanguage(), L"English(UK)");
  EXPECT_FALSE(settings_.DontShowWelcome());
  EXPECT_FALSE(settings_.LastCheckDate());
  EXPECT_FALSE(settings_.LastCheckTime());
  for (SizeSetting which : kSizeSettings) {
    EXPECT_FALSE(settings_.SizeLimit(which));
    EXPECT_EQ(settings_.SizeLimitOr(which, L"25"), 25);
  }
  EXPECT_FALSE(settings_.Password());
  EXPECT_FALSE(settings_.PasswordQuestion());
  EXPECT_FALSE(settings_.PasswordAnswer());
  EXPECT_FALSE(settings_.LegacyLogin());
  EXPECT_TRUE(settings_.BlockEntries().empty());
  EXPECT_FALSE(settings_.IsBlockedAs(L"emule.exe", 1));
}

TEST_F(SettingsTest, LanguageChoiceFallsBackFromTheUserValueToTheModuleToEnglishUk) {
  struct Case {
    const char* name;
    std::optional<SettingsValue> language;  // HKCU "Language"
    std::optional<SettingsValue> module;    // HKLM "lang"
    const wchar_t* want;
  } cases[] = {
      {"user value wins", Text(L"German"), Text(L"SpanishLang.dll"), L"German"},
      {"four characters are a name", Text(L"Dans"), std::nullopt, L"Dans"},
      {"three characters count as absent", Text(L"Dan"), Text(L"DutchLang.dll"), L"Dutch"},
      {"empty counts as absent", Text(L""), Text(L"swedishlang.DLL"), L"Swedish"},
      {"not text counts as absent", Dword(7), Text(L"USLang.dll"), L"English(US)"},
      {"too long for the 256-byte buffer", Text(std::wstring(128, L'x')), Text(L"ItalianLang.dll"), L"Italian"},
      {"127 characters still fit", Text(std::wstring(127, L'x')), std::nullopt, nullptr},
      {"short module name", std::nullopt, Text(L"abc"), L"English(UK)"},
      {"unknown module", std::nullopt, Text(L"FrenchLang.dll"), L"English(UK)"},
      {"nothing at all", std::nullopt, std::nullopt, L"English(UK)"},
  };
  for (const Case& c : cases) {
    MemorySettingsStore store;
    if (c.language) store.Set(SettingsRoot::CurrentUser, kProgramSettingsKey, L"Language", *c.language);
    if (c.module) store.Set(SettingsRoot::LocalMachine, kOptionKey, L"lang", *c.module);
    const std::wstring want = c.want ? c.want : std::wstring(127, L'x');
    EXPECT_EQ(Settings(store).ChooseLanguage(), want) << c.name;
  }
}

TEST(SettingsLanguage, EveryModuleNameMapsIgnoringCase) {
  const struct {
    const wchar_t* module;
    const wchar_t* want;
  } cases[] = {
      {L"DanishLang.dll", L"Danish"},   {L"DUTCHLANG.DLL", L"Dutch"},     {L"finnishlang.dll", L"Finnish"},
      {L"GermanLang.dll", L"German"},   {L"ItalianLang.dll", L"Italian"}, {L"PolishLang.dll", L"Polish"},
      {L"SpanishLang.dll", L"Spanish"}, {L"SwedishLang.dll", L"Swedish"}, {L"USLang.dll", L"English(US)"},
      {L"UKLang.dll", L"English(UK)"},  {L"GermanLang", L"English(UK)"},  {L"", L"English(UK)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Settings::LanguageForModule(c.module), c.want) << Utf8(c.module);
}

TEST_F(SettingsTest, SetLanguageStoresTheDisplayNameAsText) {
  ASSERT_TRUE(settings_.SetLanguage(L"Finnish"));
  auto stored = store_.Get(SettingsRoot::CurrentUser, L"Software\\Morvane Software\\Tessaly", L"language");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, SettingsType::String);
  EXPECT_EQ(stored->text, L"Finnish");
  EXPECT_EQ(settings_.ChooseLanguage(), L"Finnish");
}

TEST_F(SettingsTest, SizeValuesBelowOneOrNotNumbersFallBackToTheConfiguration) {
  struct Case {
    const char* name;
    SettingsValue stored;
    int32_t want;  // with the configuration giving "40"
  } cases[] = {
      {"a number", Text(L"12"), 12},
      {"zero", Text(L"0"), 40},
      {"not a number", Text(L"abc"), 40},
      {"negative", Text(L"-5"), 40},
      {"empty", Text(L""), 40},
      {"trailing letters ignored", Text(L"15MB"), 15},
      {"leading blanks and sign", Text(L"  +8"), 8},
      {"63 characters fit the buffer", Text(std::wstring(61, L'0') + L"77"), 77},
      {"64 characters do not", Text(std::wstring(62, L'0') + L"77"), 40},
      {"not text", Dword(9), 40},
  };
  for (const Case& c : cases) {
    MemorySettingsStore store;
    store.Set(SettingsRoot::CurrentUser, kProgramSettingsKey, L"SETTINGS_MAXVIDEOFILESIZE", c.stored);
    const Settings settings(store);
    EXPECT_EQ(settings.SizeLimitOr(SizeSetting::MaxVideo, L"40"), c.want) << c.name;
    EXPECT_EQ(settings.SizeLimitOr(SizeSetting::MinVideo, L"40"), 40) << c.name << ": another value was read";
  }
  EXPECT_EQ(settings_.SizeLimitOr(SizeSetting::MinMusic, L"abc"), 0) << "a bad configuration value reads as 0";
}

TEST_F(SettingsTest, SizeValuesAreStoredAsTypedUnderTheirConfigurationNames) {
  const struct {
    SizeSetting which;
    const wchar_t* name;
  } names[] = {{SizeSetting::MinMusic, L"SETTINGS_MINMUSICFILESIZE"},
               {SizeSetting::MaxMusic, L"SETTINGS_MAXMUSICFILESIZE"},
               {SizeSetting::MinVideo, L"SETTINGS_MINVIDEOFILESIZE"},
               {SizeSetting::MaxVideo, L"SETTINGS_MAXVIDEOFILESIZE"}};
  for (const auto& n : names) {
    EXPECT_STREQ(SizeSettingName(n.which), n.name);
    ASSERT_TRUE(settings_.SetSizeLimitText(n.which, L" 3 MB"));
    EXPECT_EQ(store_.GetText(SettingsRoot::CurrentUser, kProgramSettingsKey, n.name), L" 3 MB");
    EXPECT_EQ(settings_.SizeLimit(n.which), 3);
  }
}

TEST_F(SettingsTest, DontShowWelcomeIsTrueOnlyForTrueInAnyCase) {
  const struct {
    const wchar_t* text;
    bool want;
  } cases[] = {{L"True", true}, {L"TRUE", true}, {L"true", true}, {L"False", false},
               {L"yes", false}, {L"1", false},   {L"", false},     {L"true ", false}};
  for (const auto& c : cases) {
    SetOwn(L"DontShowWelcome", Text(c.text));
    EXPECT_EQ(settings_.DontShowWelcome(), c.want) << Utf8(c.text);
  }
  ASSERT_TRUE(settings_.SetDontShowWelcome(true));
  EXPECT_EQ(store_.GetText(SettingsRoot::CurrentUser, kProgramSettingsKey, L"DontShowWelcome"), L"True");
  ASSERT_TRUE(settings_.SetDontShowWelcome(false));
  EXPECT_EQ(store_.GetText(SettingsRoot::CurrentUser, kProgramSettingsKey, L"DontShowWelcome"), L"False");
  EXPECT_FALSE(settings_.DontShowWelcome());
}

TEST_F(SettingsTest, LastCheckRoundTripsAndAnOverlongValueIsAbsent) {
  ASSERT_TRUE(settings_.SetLastCheck(L"12-10-2026", L"09:05:00"));
  EXPECT_EQ(store_.GetText(SettingsRoot::CurrentUser, kProgramSettingsKey, L"LastCheck_Date"), L"12-10-2026");
  EXPECT_EQ(settings_.LastCheckDate(), L"12-10-2026");
  EXPECT_EQ(settings_.LastCheckTime(), L"09:05:00");
  // The update dialog reads through a 64-byte buffer: 31 characters and the terminator fit.
  SetOwn(L"LastCheck_Time", Text(std::wstring(31, L'1')));
  EXPECT_TRUE(settings_.LastCheckTime());
  SetOwn(L"LastCheck_Time", Text(std::wstring(32, L'1')));
  EXPECT_FALSE(settings_.LastCheckTime());
}

TEST_F(SettingsTest, LoginValuesAreUtf16BytesWithoutTerminator) {
  ASSERT_TRUE(settings_.SetPassword(L"Pä55"));
  auto stored = store_.Get(SettingsRoot::CurrentUser, kProgramSettingsKey, L"Password");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, SettingsType::Binary);
  EXPECT_EQ(stored->bytes, (std::vector<uint8_t>{'P', 0, 0xE4, 0, '5', 0, '5', 0}));
  EXPECT_EQ(settings_.Password(), L"Pä55");

  ASSERT_TRUE(settings_.SetPasswordQuestion(L"First pet?"));
  ASSERT_TRUE(settings_.SetPasswordAnswer(L"Rex"));
  EXPECT_EQ(settings_.PasswordQuestion(), L"First pet?");
  EXPECT_EQ(settings_.PasswordAnswer(), L"Rex");
  EXPECT_TRUE(store_.Get(SettingsRoot::CurrentUser, kProgramSettingsKey, L"PQNanswer"));

  const struct {
    const char* name;
    SettingsValue stored;
    std::optional<std::wstring> want;
  } cases[] = {
      {"terminator written by another tool", Bytes({'a', 0, 'b', 0, 0, 0}), L"ab"},
      {"odd byte count", Bytes({'a', 0, 'b'}), L"a"},
      {"empty", Bytes({}), L""},
      {"512 bytes fit", Bytes(std::vector<uint8_t>(512, 'x')), std::wstring(256, L'\x7878')},
      {"513 bytes do not", Bytes(std::vector<uint8_t>(513, 'x')), std::nullopt},
      {"text value", Text(L"plain"), L"plain"},
      {"number", Dword(1), std::nullopt},
  };
  for (const auto& c : cases) {
    SetOwn(L"Password", c.stored);
    EXPECT_EQ(settings_.Password(), c.want) << c.name;
  }
}

TEST_F(SettingsTest, LegacyLoginGivesTheRawBytesOfAnyType) {
  SetLegacy(L"lgon", Bytes({1, 2, 3, 0, 9}));
  EXPECT_EQ(settings_.LegacyLogin(), (std::vector<uint8_t>{1, 2, 3, 0, 9}));
  SetLegacy(L"lgon", Text(L"ab"));
  EXPECT_EQ(settings_.LegacyLogin(), (std::vector<uint8_t>{'a', 0, 'b', 0, 0, 0}));
}

TEST_F(SettingsTest, BlockValuesAreWrittenReadAndDeletedByFileName) {
  ASSERT_TRUE(settings_.BlockProgram(L"eMule.exe", 1234));
  ASSERT_TRUE(settings_.BlockProgram(L"kazaa.exe", -7));
  auto stored = store_.Get(SettingsRoot::CurrentUser, L"SOFTWARE\\Morvane Software\\Tessaly\\Blocked P2p Programs",
                           L"EMULE.EXE");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, SettingsType::String);
  EXPECT_EQ(stored->text, L"Block: 1234");
  EXPECT_EQ(settings_.BlockValue(L"kazaa.exe"), L"Block: -7");

  EXPECT_TRUE(settings_.IsBlockedAs(L"emule.exe", 1234));
  EXPECT_FALSE(settings_.IsBlockedAs(L"emule.exe", 123)) << "another signature's number";
  EXPECT_FALSE(settings_.IsBlockedAs(L"other.exe", 1234));

  const std::vector<BlockEntry> entries = settings_.BlockEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].fileName, L"eMule.exe");
  EXPECT_EQ(entries[1].data, L"Block: -7");

  ASSERT_TRUE(settings_.UnblockProgram(L"EMULE.exe"));
  EXPECT_FALSE(settings_.BlockValue(L"emule.exe"));
  EXPECT_FALSE(settings_.IsBlockedAs(L"emule.exe", 1234));
  ASSERT_EQ(settings_.BlockEntries().size(), 1u);
  EXPECT_FALSE(settings_.UnblockProgram(L"emule.exe")) << "nothing left to delete";
  EXPECT_FALSE(settings_.BlockProgram(L"", 1)) << "an empty name is the key's default value";
}

TEST(SettingsBlock, TheBlockerAcceptsAnyBlockPrefixWhileTheScanWantsTheExactForm) {
  const struct {
    const wchar_t* data;
    bool blocks;       // the blocker's prefix test
    bool scanBlocked;  // the scan's test against signature number 5
  } cases[] = {
      {L"Block: 5", true, true},    {L"block: 5", true, false}, {L"BLOCK:5", true, false},
      {L"Block: 6", true, false},   {L"Block:", true, false},   {L"Block", false, false},
      {L" Block: 5", false, false}, {L"", false, false},        {L"Block: 5 ", true, false},
  };
  for (const auto& c : cases) {
    MemorySettingsStore store;
    store.Set(SettingsRoot::CurrentUser, kBlockedProgramsKey, L"p.exe", Text(c.data));
    EXPECT_EQ(Settings::IsBlockingData(c.data), c.blocks) << Utf8(c.data);
    EXPECT_EQ(Settings(store).IsBlockedAs(L"p.exe", 5), c.scanBlocked) << Utf8(c.data);
  }
}

TEST(SettingsBlock, EntriesSkipValuesThatAreNotText) {
  MemorySettingsStore store;
  store.Set(SettingsRoot::CurrentUser, kBlockedProgramsKey, L"a.exe", Dword(1));
  store.Set(SettingsRoot::CurrentUser, kBlockedProgramsKey, L"b.exe", Text(L"Block: 2"));
  const std::vector<BlockEntry> entries = Settings(store).BlockEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].fileName, L"b.exe");
}

TEST(SettingsReadOnly, WritesFailAndLeaveTheStoreAlone) {
  MemorySettingsStore store;
  Settings readOnly{static_cast<const SettingsStore&>(store)};
  EXPECT_FALSE(readOnly.SetLanguage(L"German"));
  EXPECT_FALSE(readOnly.BlockProgram(L"a.exe", 1));
  EXPECT_FALSE(readOnly.SetPassword(L"secret"));
  EXPECT_FALSE(readOnly.SetDontShowWelcome(true));
  EXPECT_TRUE(store.Values(SettingsRoot::CurrentUser, kProgramSettingsKey).empty());
  EXPECT_TRUE(store.Values(SettingsRoot::CurrentUser, kBlockedProgramsKey).empty());
}

TEST(SettingsOtherSoftware, ClientKeysAresFolderAndUninstallCommands) {
  MemorySettingsStore store;
  store.Set(SettingsRoot::CurrentUser, L"Software\\Kazaa\\LocalContent", L"dir0", Text(L"012345:C:\\Shared"));
  store.Set(SettingsRoot::CurrentUser, L"software\\ares", L"Download.Folder", Text(L"433a5c"));
  const std::wstring uninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  const std::wstring command(300, L'u');  // longer than the 260 bytes the old reader had
  store.Set(SettingsRoot::LocalMachine, uninstall + L"eMule", L"UninstallString", Text(command));
  store.Set(SettingsRoot::LocalMachine, uninstall + L"Vendor\\eMule", L"UninstallString", Text(L"x"));
  const Settings settings(store);

  const auto values = settings.ClientValues(kKazaaLocalContentKey);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].first, L"dir0");
  EXPECT_TRUE(settings.ClientValues(kGroksterLocalContentKey).empty());
  EXPECT_EQ(settings.AresDownloadFolder(), L"433a5c");
  EXPECT_EQ(settings.UninstallCommand(L"emule"), command);
  EXPECT_FALSE(settings.UninstallCommand(L"missing"));
  EXPECT_FALSE(settings.UninstallCommand(L""));
  EXPECT_FALSE(settings.UninstallCommand(L"Vendor\\eMule")) << "a subkey name cannot reach into another key";
}

}  // namespace
}  // namespace tessaly
