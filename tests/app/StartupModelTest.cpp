// Command-line switches and the language choice of the start-up.
#include "Settings.h"
#include "SettingsStore.h"
#include "StartupModel.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tessaly {
namespace {

TEST(StartupSwitches, FoundAnywhereIgnoringCase) {
  const std::wstring padding(520, L'x');
  struct {
    const char* name;
    std::wstring commandLine;
    bool silent;
    bool noShow;
  } cases[] = {
      {"none", L"", false, false},
      {"program path only", L"\"C:\\Program Files\\Tessaly\\Tessaly.exe\"", false, false},
      {"silent", L"Tessaly.exe -silent", true, false},
      {"capitals", L"Tessaly.exe -SILENT", true, false},
      {"inside a word", L"Tessaly.exe x-noshowy", false, true},
      {"no separator", L"Tessaly.exe-noshow-silent", true, true},
      {"cut short", L"Tessaly.exe -silen -nosho", false, false},
      {"slash is not a switch", L"Tessaly.exe /silent", false, false},
      {"within the first 511 characters", padding.substr(0, 504) + L"-silent", true, false},
      {"beyond the first 511 characters", padding.substr(0, 505) + L"-silent", false, false},
  };
  for (const auto& c : cases) {
    StartupSwitches switches = FindStartupSwitches(c.commandLine);
    EXPECT_EQ(switches.silent, c.silent) << c.name;
    EXPECT_EQ(switches.noShow, c.noShow) << c.name;
    EXPECT_EQ(switches.SkipDialogs(), c.silent || c.noShow) << c.name;
  }
}

TEST(StartupSwitches, LoweredCommandLineKeeps511Characters) {
  const std::wstring line = L"ABC" + std::wstring(600, L'Q');
  const std::wstring lowered = LowerCommandLine(line);
  ASSERT_EQ(lowered.size(), 511u);
  EXPECT_EQ(lowered.substr(0, 4), L"abcq");
}

TEST(LanguageChoice, UserValueThenModuleThenEnglishUk) {
  using Text = std::optional<std::wstring>;
  struct {
    const char* name;
    Text user;    // HKCU "Language"
    Text module;  // HKLM "lang"
    std::wstring want;
  } cases[] = {
      {"nothing stored", {}, {}, L"English(UK)"},
      {"user value", L"German", L"DanishLang.dll", L"German"},
      {"user value kept as written", L"Portuguese", {}, L"Portuguese"},
      {"user value of four characters", L"Abcd", {}, L"Abcd"},
      {"user value of three characters falls back", L"Dan", L"GermanLang.dll", L"German"},
      {"empty user value falls back", L"", L"SwedishLang.dll", L"Swedish"},
      {"module ignoring case", {}, L"gErMaNlAnG.DLL", L"German"},
      {"US module", {}, L"USLang.dll", L"English(US)"},
      {"Danish", {}, L"DanishLang.dll", L"Danish"},
      {"Dutch", {}, L"DutchLang.dll", L"Dutch"},
      {"Finnish", {}, L"FinnishLang.dll", L"Finnish"},
      {"Italian", {}, L"ItalianLang.dll", L"Italian"},
      {"Polish", {}, L"PolishLang.dll", L"Polish"},
      {"Spanish", {}, L"SpanishLang.dll", L"Spanish"},
      {"unknown module", {}, L"PortugueseLang.dll", L"English(UK)"},
      {"module without extension", {}, L"GermanLang", L"English(UK)"},
      {"module of three characters", {}, L"dll", L"English(UK)"},
      {"short user value and short module", L"DE", L"x", L"English(UK)"},
  };
  for (const auto& c : cases) {
    MemorySettingsStore store;
    SettingsValue value;
    if (c.user) {
      value.text = *c.user;
      store.Set(SettingsRoot::CurrentUser, L"SOFTWARE\\Morvane Software\\Tessaly", L"Language", value);
    }
    if (c.module) {
      value.text = *c.module;
      store.Set(SettingsRoot::LocalMachine, L"SOFTWARE\\MvParental\\Option", L"lang", value);
    }
    EXPECT_EQ(Settings(store).ChooseLanguage(), c.want) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
