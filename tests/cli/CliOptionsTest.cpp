#include "CliOptions.h"
#include "JsonText.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(CliOptions, ParsesEveryOptionAndThePaths) {
  std::wstring problem;
  auto options = ParseCliOptions({L"--config", L"c.xml", L"--signatures", L"s.dat", L"--language", L"l.xml",
                                  L"--lang", L"DE", L"--filter", L"music", L"--list", L"--extended-types", L"--log", L"scan.log",
                                  L"--json", L"r.json", L"C:\\Users", L"--", L"--odd folder"},
                                 problem);
  ASSERT_TRUE(options.has_value()) << WideToUtf8(problem);
  EXPECT_EQ(options->configPath, L"c.xml");
  EXPECT_EQ(options->signaturesPath, L"s.dat");
  EXPECT_EQ(options->languagePath, L"l.xml");
  EXPECT_EQ(options->languageCode, L"DE");
  EXPECT_EQ(options->filter, L"music");
  EXPECT_TRUE(options->listAll);
  EXPECT_TRUE(options->extendedTypes);
  EXPECT_EQ(options->logPath, L"scan.log");
  EXPECT_EQ(options->jsonPath, L"r.json");
  EXPECT_EQ(options->paths, (std::vector<std::wstring>{L"C:\\Users", L"--odd folder"}));
}

TEST(CliOptions, DefaultsAndBadArguments) {
  std::wstring problem;
  auto defaults = ParseCliOptions({}, problem);
  ASSERT_TRUE(defaults.has_value());
  EXPECT_TRUE(defaults->paths.empty());
  EXPECT_EQ(defaults->languageCode, L"UK");
  EXPECT_FALSE(defaults->help);
  EXPECT_FALSE(defaults->extendedTypes);

  struct Case {
    std::vector<std::wstring> args;
    std::wstring problem;
  } cases[] = {
      {{L"--frobnicate"}, L"unknown option --frobnicate (see --help)"},
      {{L"--log"}, L"option --log needs a value"},
      {{L"--lang", L""}, L"option --lang needs a value"},
      {{L"-x", L"folder"}, L"unknown option -x (see --help)"},
  };
  for (const auto& c : cases) {
    problem.clear();
    EXPECT_FALSE(ParseCliOptions(c.args, problem).has_value()) << WideToUtf8(c.args[0]);
    EXPECT_EQ(problem, c.problem);
  }
  EXPECT_TRUE(ParseCliOptions({L"-h"}, problem)->help);
}

TEST(JsonText, EscapesQuotesControlsAndKeepsUnicode) {
  EXPECT_EQ(JsonString(L"C:\\a \"b\"\n\x01"), "\"C:\\\\a \\\"b\\\"\\n\\u0001\"");
  EXPECT_EQ(JsonString(L"Bj\x00F6rk"), "\"Bj\xC3\xB6rk\"");
}

}  // namespace
}  // namespace tessaly
