// The platform's real settings store: the registry on Windows, the settings file elsewhere. Each
// test works below a key of its own and removes what it wrote.
#include "SettingsStore.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tessaly {
namespace {

SettingsValue Text(const std::wstring& text, SettingsType type = SettingsType::String) {
  SettingsValue value;
  value.type = type;
  value.text = text;
  return value;
}

SettingsValue Number(uint32_t number) {
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

bool Same(const SettingsValue& a, const SettingsValue& b) {
  return a.type == b.type && a.text == b.text && a.bytes == b.bytes && a.number == b.number;
}

class SystemSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    key_ = L"Software\\Tessaly Test Store\\" +
           std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count()) + L"-" +
           std::to_wstring(counter++);
#ifndef _WIN32
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old) oldXdg_ = old;
    setenv("XDG_CONFIG_HOME", scratch_.root().string().c_str(), 1);
#endif
  }
  void TearDown() override {
#ifdef _WIN32
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tessaly Test Store");
#else
    if (oldXdg_) setenv("XDG_CONFIG_HOME", oldXdg_->c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
#endif
  }

  std::wstring key_;
  test::TempTree scratch_;
  std::optional<std::string> oldXdg_;
};

TEST_F(SystemSettingsStoreTest, EveryTypeSurvivesTheRoundTrip) {
  SettingsStore& store = SystemSettingsStore();
  struct {
    const wchar_t* name;
    SettingsValue value;
  } cases[] = {
      {L"Language", Text(L"English(UK)")},
      {L"Empty", Text(L"")},
      {L"Awkward = [text] 100% \\ \x00e9\x20ac", Text(L"a=b [c] %41 \r\n\tend")},
      {L"Expand", Text(L"%USERPROFILE%\\x", SettingsType::ExpandString)},
      {L"Multi", Text(std::wstring(L"one\0two", 7), SettingsType::MultiString)},
      {L"Zero", Number(0)},
      {L"Max", Number(0xFFFFFFFFu)},
      {L"Password", Bytes({0x00, 0xFF, 0x10, 0x80})},
      {L"NoBytes", Bytes({})},
  };
  for (const auto& c : cases) ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, c.name, c.value)) << c.name;
  for (const auto& c : cases) {
    auto got = store.Get(SettingsRoot::CurrentUser, key_, c.name);
    ASSERT_TRUE(got.has_value()) << c.name;
    EXPECT_TRUE(Same(*got, c.value)) << c.name;
  }
  auto values = store.Values(SettingsRoot::CurrentUser, key_);
  ASSERT_EQ(values.size(), std::size(cases));
  EXPECT_EQ(store.GetText(SettingsRoot::CurrentUser, key_, L"Language"), L"English(UK)");
  EXPECT_EQ(store.GetDword(SettingsRoot::CurrentUser, key_, L"Max"), 0xFFFFFFFFu);
  EXPECT_FALSE(store.GetText(SettingsRoot::CurrentUser, key_, L"Max").has_value());
}

TEST_F(SystemSettingsStoreTest, NamesIgnoreCaseAndReplaceInPlace) {
  SettingsStore& store = SystemSettingsStore();
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, L"DontShowWelcome", Text(L"False")));
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, L"Second", Text(L"2")));
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, L"DONTSHOWWELCOME", Text(L"True")));
  std::wstring upperKey = key_;
  for (auto& c : upperKey) c = static_cast<wchar_t>(std::towupper(c));
  EXPECT_EQ(store.GetText(SettingsRoot::CurrentUser, upperKey, L"dontshowwelcome"), L"True");
  auto values = store.Values(SettingsRoot::CurrentUser, key_);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[1].first, L"Second");
}

TEST_F(SystemSettingsStoreTest, DeleteRemovesOneValueAndReportsMissingOnes) {
  SettingsStore& store = SystemSettingsStore();
  const std::wstring blocked = key_ + L"\\Blocked P2p Programs";
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, blocked, L"kazaa.exe", Text(L"Block: 12")));
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, blocked, L"ares.exe", Text(L"Block: 7")));
  EXPECT_TRUE(store.Delete(SettingsRoot::CurrentUser, blocked, L"KAZAA.EXE"));
  EXPECT_FALSE(store.Delete(SettingsRoot::CurrentUser, blocked, L"kazaa.exe"));
  EXPECT_FALSE(store.Delete(SettingsRoot::CurrentUser, key_ + L"\\Nowhere", L"x"));
  EXPECT_FALSE(store.Get(SettingsRoot::CurrentUser, blocked, L"kazaa.exe").has_value());
  EXPECT_EQ(store.GetText(SettingsRoot::CurrentUser, blocked, L"ares.exe"), L"Block: 7");
}

TEST_F(SystemSettingsStoreTest, MissingKeysAreEmptyAndSubKeysAreListedOnce) {
  SettingsStore& store = SystemSettingsStore();
  EXPECT_TRUE(store.Values(SettingsRoot::CurrentUser, key_).empty());
  EXPECT_FALSE(store.Get(SettingsRoot::CurrentUser, key_, L"x").has_value());
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_ + L"\\Alpha", L"a", Text(L"1")));
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_ + L"\\Alpha\\Deep", L"a", Text(L"1")));
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_ + L"\\Beta", L"b", Text(L"2")));
  auto names = store.SubKeys(SettingsRoot::CurrentUser, key_);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
}

#ifndef _WIN32

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(SystemSettingsStoreTest, LivesInOneFileUnderTheConfigFolderWithNoTemporariesLeft) {
  SettingsStore& store = SystemSettingsStore();
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, L"Language", Text(L"Danish")));
  ASSERT_TRUE(store.Set(SettingsRoot::LocalMachine, L"SOFTWARE\\MvParental\\Option", L"lang", Text(L"GermanLang.dll")));
  const auto folder = scratch_.root() / "tessaly";
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "settings.reg");
  }
  EXPECT_EQ(files, 1u);
  const std::string text = ReadWhole(folder / "settings.reg");
  EXPECT_NE(text.find("[HKLM\\SOFTWARE\\MvParental\\Option]\nlang=sz:GermanLang.dll\n"), std::string::npos) << text;
  // The two roots are separate.
  EXPECT_FALSE(store.Get(SettingsRoot::CurrentUser, L"SOFTWARE\\MvParental\\Option", L"lang").has_value());
}

TEST_F(SystemSettingsStoreTest, ADamagedFileLosesOnlyItsDamagedLines) {
  const auto folder = scratch_.root() / "tessaly";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "settings.reg", std::ios::binary)
      << "orphan=sz:before any key\n"
         "[HKCU\\Software\\Good]\r\n"
         "Plain=sz:kept\r\n"
         "NoType=kept?\n"
         "BadHex=bin:0g\n"
         "OddHex=bin:123\n"
         "BigNumber=dword:4294967296\n"
         "BadEscape=sz:%4\n"
         "Number=dword:17\n"
         "Plain=sz:second copy ignored\n"
         "[HKXX\\Software\\Bad]\n"
         "Lost=sz:under an unknown root\n"
         "[HKCU\\Software\\Unclosed\n"
         "AlsoLost=sz:x\n"
         "\x01\xff\xfe garbage\n"
         "[HKCU\\Software\\Good]\n"
         "Late=bin:00ff\n";
  SettingsStore& store = SystemSettingsStore();
  auto values = store.Values(SettingsRoot::CurrentUser, L"Software\\Good");
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].first, L"Plain");
  EXPECT_EQ(values[0].second.text, L"kept");
  EXPECT_EQ(values[1].first, L"Number");
  EXPECT_EQ(values[1].second.number, 17u);
  EXPECT_EQ(values[2].second.bytes, (std::vector<uint8_t>{0x00, 0xFF}));
  EXPECT_TRUE(store.Values(SettingsRoot::CurrentUser, L"Software\\Bad").empty());
  EXPECT_TRUE(store.Values(SettingsRoot::CurrentUser, L"Software\\Unclosed").empty());
  // A write rewrites the file with what could be read.
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, L"Software\\Good", L"New", Text(L"v")));
  EXPECT_EQ(store.Values(SettingsRoot::CurrentUser, L"Software\\Good").size(), 4u);
}

TEST_F(SystemSettingsStoreTest, AnUnwritableFolderFailsTheWriteAndKeepsTheOldFile) {
  SettingsStore& store = SystemSettingsStore();
  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, L"a", Text(L"1")));
  // A folder where the store wants its file: no write can replace it.
  const auto blocker = scratch_.root() / "blocked";
  std::filesystem::create_directories(blocker / "tessaly" / "settings.reg");
  setenv("XDG_CONFIG_HOME", blocker.string().c_str(), 1);
  EXPECT_FALSE(store.Set(SettingsRoot::CurrentUser, key_, L"a", Text(L"2")));
  EXPECT_FALSE(store.Get(SettingsRoot::CurrentUser, key_, L"a").has_value());
  setenv("XDG_CONFIG_HOME", scratch_.root().string().c_str(), 1);
  EXPECT_EQ(store.GetText(SettingsRoot::CurrentUser, key_, L"a"), L"1");
}

#else

TEST_F(SystemSettingsStoreTest, ReadsWhatTheRegistryApiWroteAndTheOtherWayRound) {
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  const wchar_t text[] = L"Block: 42";
  RegSetValueExW(raw, L"app.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
  // Text stored without its terminating zero still reads whole.
  RegSetValueExW(raw, L"Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abc"), 3 * sizeof(wchar_t));
  DWORD number = 7;
  RegSetValueExW(raw, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  RegCloseKey(raw);

  SettingsStore& store = SystemSettingsStore();
  EXPECT_EQ(store.GetText(SettingsRoot::CurrentUser, key_, L"APP.EXE"), L"Block: 42");
  EXPECT_EQ(store.GetText(SettingsRoot::CurrentUser, key_, L"Unterminated"), L"abc");
  EXPECT_EQ(store.GetDword(SettingsRoot::CurrentUser, key_, L"Count"), 7u);

  ASSERT_TRUE(store.Set(SettingsRoot::CurrentUser, key_, L"Language", Text(L"Polish")));
  wchar_t buffer[64] = {};
  DWORD size = sizeof(buffer);
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), L"Language", RRF_RT_ANY, &type, buffer, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(buffer, L"Polish");
}

#endif

}  // namespace
}  // namespace tessaly
