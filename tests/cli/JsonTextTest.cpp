#include "JsonText.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(JsonString, EscapesControlsAndKeepsLoneSurrogatesRecoverable) {
  struct Case {
    std::wstring text;
    std::string json;
  } cases[] = {
      {L"plain", "\"plain\""},
      {L"q\"b\\", "\"q\\\"b\\\\\""},
      {L"a\nb\x1b", "\"a\\nb\\u001b\""},
      {L"caf\u00e9", "\"caf\xc3\xa9\""},
      // A byte that is not UTF-8 (kept as U+DC80 + byte) or an unpaired UTF-16 unit.
      {std::wstring(L"x") + static_cast<wchar_t>(0xDCE9), "\"x\\udce9\""},
      {std::wstring(1, static_cast<wchar_t>(0xD800)), "\"\\ud800\""},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json);
}

TEST(TerminalText, ShowsControlsVisiblyAndLeavesPlainNamesAlone) {
  struct Case {
    std::wstring text;
    std::wstring shown;
  } cases[] = {
      {L"C:\\music\\caf\u00e9.mp3", L"C:\\music\\caf\u00e9.mp3"},
      {L"evil\x1b]2;x\a.mp3", L"'evil\\e]2;x\\x07.mp3'"},
      {L"two\nlines", L"'two\\nlines'"},
      {L"it's\t\\", L"'it\\'s\\t\\\\'"},
      {L"c1\u009bx", L"'c1\\u009bx'"},
  };
  for (const Case& c : cases) EXPECT_EQ(TerminalText(c.text), c.shown);
}

}  // namespace
}  // namespace tessaly
