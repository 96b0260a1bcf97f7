// The checks of the security-settings entries, in the order the dialog makes them: the new
// password, its second entry, the answer, the question.
#pragma once

#include <string_view>

namespace tessaly {

struct SecuritySettingsEntries {
  std::wstring_view password;
  std::wstring_view passwordAgain;
  std::wstring_view answer;
  std::wstring_view question;
};

inline constexpr size_t kShortestPassword = 6;
inline constexpr size_t kShortestAnswer = 2;
inline constexpr size_t kShortestQuestion = 2;

// The string ID of the first check that fails ("IDS_ERRORPASSWORDMUSTBEATLEAST6",
// "IDS_ERRORPASSWORDDOESNOTMATCH", "IDS_ERRORYOUMUSTCHOOSEANANSWER",
// "IDS_ERRORYOUMUSTCHOOSEAQUESTION"), or null when the entries can be stored.
const wchar_t* SecuritySettingsError(const SecuritySettingsEntries& entries);

}  // namespace tessaly
