#include "SystemInfo.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace tessaly {
namespace {

TEST(SystemInfo, ExceptionCodeNames) {
  struct Case {
    uint32_t code;
    const wchar_t* want;
  } cases[] = {
      {0xC0000005, L"EXCEPTION_ACCESS_VIOLATION"},
      {0x80000001, L"EXCEPTION_GUARD_PAGE"},
      {0xC00000FD, L"EXCEPTION_STACK_OVERFLOW"},
      {0xC000013A, L"CONTROL_C_EXIT"},
      {0, L"{Unknown Exception Code}"},
      {0xC0000007, L"{Unknown Exception Code}"},
  };
  for (const auto& c : cases) EXPECT_STREQ(ExceptionCodeName(c.code), c.want) << std::hex << c.code;
}

TEST(SystemInfo, DateAndTimeTextsHaveTheirFixedForms) {
  EXPECT_TRUE(std::regex_match(std::wstring(CurrentDateText()), std::wregex(LR"((0[1-9]|1[0-2])-\d\d-\d{4})")));
  EXPECT_TRUE(std::regex_match(std::wstring(CurrentTimeText()), std::wregex(LR"(\d\d:\d\d:\d\d)")));
  EXPECT_TRUE(std::regex_match(std::wstring(BuildTimeText()), std::wregex(LR"(\d\d:\d\d:\d\d)")));
  EXPECT_TRUE(std::regex_match(std::wstring(BuildDateText()), std::wregex(LR"([A-Z][a-z]{2} [ \d]\d \d{4})")));
}

TEST(SystemInfo, ModuleFolderEndsInSeparator) {
  std::wstring folder = ModuleFolder();
  ASSERT_FALSE(folder.empty());
#ifdef _WIN32
  EXPECT_EQ(folder.back(), L'\\');
#else
  EXPECT_EQ(folder.back(), L'/');
#endif
}

TEST(SystemInfo, ProductVersionAndWindowsVersion) {
#ifdef _WIN32
  EXPECT_STREQ(ProductVersionText(), L"1.3.1.170");  // from the test program's version resource
  EXPECT_FALSE(IsWindowsVersion4());
#else
  EXPECT_STREQ(ProductVersionText(), L"");
  EXPECT_FALSE(IsWindowsVersion4());
  EXPECT_FALSE(IsWindows2000());
#endif
}

}  // namespace
}  // namespace tessaly
