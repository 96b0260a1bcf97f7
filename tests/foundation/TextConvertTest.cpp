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

// Names from archives without an encoding flag: UTF-8 when well-formed and beyond ASCII.
TEST(TextConvert, UnflaggedNamesAreUtf8OnlyWhenWellFormed) {
  struct {
    const char* name;
    std::string bytes;
    bool wellFormed;
    std::wstring wide;
  } cases[] = {
      {"plain ASCII", "song.mp3", true, L"song.mp3"},
      {"UTF-8", "Ma\xC3\xB1" "ana.mp3", true, L"Ma\u00F1ana.mp3"},
      {"UTF-8, four bytes", "\xF0\x9F\x8E\xB5.ogg", true, L"\U0001F3B5.ogg"},
      {"Windows-1252", "M\xFCsik.mp3", false, L"M\u00FCsik.mp3"},
      {"a cut sequence", "caf\xC3", false, L"caf\u00C3"},
      {"an overlong form", "\xC0\xAF.mp3", false, L"\u00C0\u00AF.mp3"},
      {"a surrogate", "\xED\xA0\x80.mp3", false, L"\u00ED\u00A0\u20AC.mp3"},
      {"past U+10FFFF", "\xF5\x80\x80\x80", false, L"\u00F5\u20AC\u20AC\u20AC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWellFormedUtf8(c.bytes), c.wellFormed) << c.name;
    EXPECT_EQ(UnflaggedNameToWide(c.bytes), c.wide) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
