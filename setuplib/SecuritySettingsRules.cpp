#include "SecuritySettingsRules.h"

namespace tessaly {

const wchar_t* SecuritySettingsError(const SecuritySettingsEntries& entries) {
  if (entries.password.size() < kShortestPassword) return L"IDS_ERRORPASSWORDMUSTBEATLEAST6";
  if (entries.passwordAgain != entries.password) return L"IDS_ERRORPASSWORDDOESNOTMATCH";  // letter case counts
  if (entries.answer.size() < kShortestAnswer) return L"IDS_ERRORYOUMUSTCHOOSEANANSWER";
  if (entries.question.size() < kShortestQuestion) return L"IDS_ERRORYOUMUSTCHOOSEAQUESTION";
  return nullptr;
}

}  // namespace tessaly
