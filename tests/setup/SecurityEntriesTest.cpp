// Which message Next shows for a set of entries: the rules are checked in a fixed order, so the
// first broken one names the message even when later ones are broken too.
#include "SecurityEntries.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(SecurityEntries, TheFirstBrokenRuleNamesTheMessage) {
  const std::wstring longest(kMaximumEntryLength, L'p');
  struct Case {
    const char* name;
    SecurityEntries entries;  // password, again, question, answer
    const wchar_t* want;      // null: accepted
  } cases[] = {
      {"six characters and all else valid", {L"secret", L"secret", L"Film?", L"Up"}, nullptr},
      {"the longest password", {longest, longest, L"Film?", L"Up"}, nullptr},
      {"five characters, second differs", {L"short", L"other", L"Film?", L"Up"}, L"IDS_ERRORPASSWORDMUSTBEATLEAST6"},
      {"empty everything", {L"", L"", L"", L""}, L"IDS_ERRORPASSWORDMUSTBEATLEAST6"},
      {"differs only in letter case", {L"Secret", L"secret", L"Film?", L"Up"}, L"IDS_ERRORPASSWORDDOESNOTMATCH"},
      {"second entry empty, no answer", {L"secret", L"", L"Film?", L""}, L"IDS_ERRORPASSWORDDOESNOTMATCH"},
      {"one-character answer, no question", {L"secret", L"secret", L"", L"A"}, L"IDS_ERRORYOUMUSTCHOOSEANANSWER"},
      {"one-character question", {L"secret", L"secret", L"?", L"Up"}, L"IDS_ERRORYOUMUSTCHOOSEAQUESTION"},
      {"two-character question and answer", {L"secret", L"secret", L"Q?", L"Up"}, nullptr},
  };
  for (const Case& c : cases) {
    const wchar_t* got = SecurityEntriesError(c.entries);
    if (!c.want) {
      EXPECT_EQ(got, nullptr) << c.name;
    } else {
      ASSERT_NE(got, nullptr) << c.name;
      EXPECT_STREQ(got, c.want) << c.name;
    }
  }
}

}  // namespace
}  // namespace tessaly
