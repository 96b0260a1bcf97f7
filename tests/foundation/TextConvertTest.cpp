#include "TextConvert.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(TextConvert, Utf8RoundTripsIncludingAstralCharacters) {
  const std::string utf8 = "Mu\xC3\xB1oz \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5";
  EXPECT_EQ(WideToUtf8(Utf8ToWide(utf8)), utf8);
}

TEST(TextConvert, InvalidUtf8BecomesReplacement) {
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\xFFFD" L"b");
  EXPECT_EQ(Utf8ToWide("\xC3"), L"\xFFFD");  // truncated sequence
}

TEST(TextConvert, NativeNamesSurviveAnyBytes) {
  const std::string names[] = {"plain.mp3", "caf\xC3\xA9.ogg", "latin1-\xE9t\xE9.avi", std::string("\xFF\xFE\x80", 3)};
  for (const auto& name : names) {
    EXPECT_EQ(WideToNative(NativeToWide(name)), name) << name;
  }
  // An ASCII start, then the rest decoded; a raw byte becomes a lone surrogate.
  EXPECT_EQ(NativeToWide("caf\xC3\xA9.ogg"), L"caf\u00E9.ogg");
  EXPECT_EQ(NativeToWide("ab\xFF"), std::wstring(L"ab") + static_cast<wchar_t>(0xDCFF));
  EXPECT_EQ(NativeToWide(""), L"");
  EXPECT_EQ(WideToNative(L"caf\u00E9"), "caf\xC3\xA9");
  EXPECT_EQ(WideToNative(L""), "");
}

TEST(TextConvert, AnsiIsWindows1252AtTheEdges) {
  EXPECT_EQ(AnsiToWide("\x80 \xE9"), L"\x20AC \xE9");
  EXPECT_EQ(WideToAnsi(L"\x20AC\xE9"), "\x80\xE9");
  EXPECT_EQ(WideToAnsi(L"\x65E5"), "?");
}

}  // namespace
}  // namespace tessaly
