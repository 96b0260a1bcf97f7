// Start-up steps against the real registry and the real Tessres.dll.
#include "DialogDriver.h"
#include "GuiTestSupport.h"

#include "LogCapture.h"
#include "LoginDriver.h"
#include "PasswordStore.h"
#include "RegistryScope.h"
#include "SettingsStore.h"
#include "Startup.h"
#include "TempTree.h"
#include "UpdateDialogModel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>

namespace tessaly {
namespace {

TEST(Startup, LanguageFallbacksThroughTheRegistry) {
  using Text = std::optional<std::wstring>;
  struct {
    const char* name;
    Text user;    // HKCU "Language"
    Text module;  // HKLM "lang"
    std::wstring chosen;
    std::wstring code;  // the language current afterwards
  } cases[] = {
      {"user value", L"German", L"SwedishLang.dll", L"German", L"DE"},
      {"user value of three characters", L"Dan", L"GermanLang.dll", L"German", L"DE"},
      {"module name in capitals", {}, L"FINNISHLANG.DLL", L"Finnish", L"FI"},
      {"US module", {}, L"USLang.dll", L"English(US)", L"US"},
      {"unknown module", {}, L"KlingonLang.dll", L"English(UK)", L"UK"},
      {"neither", {}, {}, L"English(UK)", L"UK"},
      // No language of the resource has that name: the first listed stays current.
      {"unlisted language", L"Klingon", {}, L"Klingon", L"DK"},
  };
  for (const auto& c : cases) {
    auto text = [](const std::optional<std::wstring>& value) -> std::optional<SettingsValue> {
      if (!value) return std::nullopt;
      return test::RegistryScope::Text(*value);
    };
    test::RegistryScope user(SettingsRoot::CurrentUser, test::kOwnKey, L"Language", text(c.user));
    test::RegistryScope module(SettingsRoot::LocalMachine, test::kOptionKey, L"lang", text(c.module));
    StringTable table;
    ASSERT_TRUE(LoadLanguageResource(test::ProgramFolder(), table));
    ASSERT_EQ(table.languages.count, 11u);
    EXPECT_EQ(ChooseLanguage(SystemSettingsStore(), table), c.chosen) << c.name;
    ASSERT_NE(table.currentLanguage, nullptr) << c.name;
    EXPECT_EQ(table.currentLanguage->code, c.code) << c.name;
  }
}

TEST(Startup, MissingTessresLeavesTheTableEmpty) {
  test::TempTree folder;
  StringTable table;
  test::LogCapture log;
  EXPECT_FALSE(LoadLanguageResource(folder.RootText() + L"\\", table));
  EXPECT_EQ(log.CountContaining(L"Failed to load Tessres"), 1u);
  EXPECT_EQ(table.languages.count, 0u);
  EXPECT_STREQ(GetString(false, L"IDS_PROGRAMTITLE", table), kLanguageNotSet);
  // Choosing a language then changes nothing and does not fail.
  ChooseLanguage(SystemSettingsStore(), table);
  EXPECT_EQ(table.currentLanguage, nullptr);
}

TEST(Startup, SwitchesFromTheAnsiCommandLine) {
  EXPECT_TRUE(ReadStartupSwitches("-SILENT").silent);
  EXPECT_TRUE(ReadStartupSwitches("foo -noshow").noShow);
  EXPECT_FALSE(ReadStartupSwitches(nullptr).SkipDialogs());
}

using test::LoginThenAnswer;

MemorySettingsStore WithPassword(const wchar_t* password) {
  MemorySettingsStore settings;
  StorePassword(settings, password);
  return settings;
}

TEST(Startup, WelcomeIsSkippedWhenNotWanted) {
  PrepareControls();
  // Both dialogs take their captions from the program's table, which no test here loads.
  const std::wstring caption = GetString(false, L"IDS_PROGRAMTITLE", LanguageTable());
  struct {
    std::optional<std::wstring> dontShow;
    bool skipped;
  } cases[] = {{L"TRUE", true}, {L"true", true}, {L"False", false}, {std::nullopt, false}};
  for (const auto& c : cases) {
    MemorySettingsStore settings = WithPassword(L"Secret1");
    if (c.dontShow) {
      SettingsValue value;
      value.text = *c.dontShow;
      settings.Set(SettingsRoot::CurrentUser, test::kOwnKey, L"DontShowWelcome", value);
    }
    const std::string name = c.dontShow ? WideToUtf8(*c.dontShow) : "(none)";
    test::LogCapture log;
    LoginThenAnswer login(L"Secret1", 0);  // the login only; the driver below takes the rest
    bool updateFirst = false, welcomeSecond = false;
    auto isWelcome = [](HWND dialog) { return GetDlgItem(dialog, 1011) != nullptr; };
    // The login has the same caption: it is left to its own driver.
    auto notLogin = [](HWND dialog) { return GetDlgItem(dialog, IDC_LOGIN_PASSWORD) == nullptr; };
    test::DialogDriver driver(GetCurrentThreadId(),
                              {{caption, [&](HWND dialog) { updateFirst = !isWelcome(dialog); }, kUpdateNoButton, notLogin},
                               {caption, [&](HWND dialog) { welcomeSecond = isWelcome(dialog); }, IDOK, notLogin}});
    EXPECT_TRUE(RunStartupDialogs(StartupSwitches{}, settings)) << name;
    login.Finish();
    EXPECT_TRUE(login.LoginShown()) << "the login comes first: " << name;
    EXPECT_EQ(driver.Stop(), c.skipped ? 1 : 2) << name;
    EXPECT_TRUE(updateFirst) << "the update dialog asks next: " << name;
    EXPECT_EQ(welcomeSecond, !c.skipped) << name;
    EXPECT_EQ(log.CountContaining(L"is not built yet"), 0u);
  }
  // A switch skips all three.
  test::LogCapture log;
  MemorySettingsStore none;
  test::DialogDriver driver(GetCurrentThreadId(), {{caption, {}, IDOK}});
  EXPECT_TRUE(RunStartupDialogs(StartupSwitches{true, false}, none));
  EXPECT_EQ(driver.Stop(), 0);
  EXPECT_EQ(log.CountContaining(L"is not built yet"), 0u);
  EXPECT_EQ(log.Count(L"Login starting...\r\n"), 1u);
  EXPECT_EQ(log.Count(L"Welcome screen starting...\r\n"), 1u);
}

TEST(Startup, CancelledLoginEndsTheProgramBeforeTheUpdateCheck) {
  MemorySettingsStore settings = WithPassword(L"Secret1");
  test::LogCapture log;
  LoginThenAnswer cancel(nullptr, 0);
  EXPECT_FALSE(RunStartupDialogs(StartupSwitches{}, settings));
  cancel.Finish();
  EXPECT_TRUE(cancel.LoginShown());
  EXPECT_EQ(log.Count(L"Updates starting...\r\n"), 0u);
}

}  // namespace
}  // namespace tessaly
