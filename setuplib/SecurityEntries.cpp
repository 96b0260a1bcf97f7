#include "SecurityEntries.h"

namespace tessaly {

const wchar_t* SecurityEntriesError(const SecurityEntries& entries) {
  if (entries.password.size() < kMinimumPasswordLength) return L"IDS_ERRORPASSWORDMUSTBEATLEAST6";
  if (entries.passwordAgain != entries.password) return L"IDS_ERRORPASSWORDDOESNOTMATCH";
  if (entries.answer.size() < kMinimumAnswerLength) return L"IDS_ERRORYOUMUSTCHOOSEANANSWER";
  if (entries.question.size() < kMinimumQuestionLength) return L"IDS_ERRORYOUMUSTCHOOSEAQUESTION";
  return nullptr;
}

}  // namespace tessaly
