// The installer's language identifiers and the display names they become.
#include "InstallerLanguage.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(InstallerLanguage, IdentifierTextToDisplayName) {
  struct {
    const char* text;  // null: no argument
    const wchar_t* language;
  } cases[] = {
      {"1030", L"Danish"},      {"1031", L"German"},     {"1033", L"English(US)"}, {"1034", L"Spanish"},
      {"1035", L"Finnish"},     {"1040", L"Italian"},    {"1043", L"Dutch"},       {"1045", L"Polish"},
      {"1046", L"Portuguese"},  {"2070", L"Portuguese"}, {"1053", L"Swedish"},     {"2057", L"English(UK)"},
      {"1036", L"English(UK)"}, {"", L"English(UK)"},    {"abc", L"English(UK)"},  {nullptr, L"English(UK)"},
      {"1031 trailing", L"German"},  // read as atoi reads it
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LanguageForInstallerText(c.text), c.language) << (c.text ? c.text : "(null)");
  }
}

}  // namespace
}  // namespace tessaly
