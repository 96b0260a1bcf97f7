// The entries of the security-settings dialog and the rules they must meet before they are
// stored: the login password (typed twice), the security question and its answer.
#pragma once

#include <cstddef>
#include <string>

namespace tessaly {

struct SecurityEntries {
  std::wstring password;
  std::wstring passwordAgain;
  std::wstring question;
  std::wstring answer;
};

inline constexpr size_t kMinimumPasswordLength = 6;
inline constexpr size_t kMinimumQuestionLength = 2;
inline constexpr size_t kMinimumAnswerLength = 2;
// The login reads at most this many characters back, so no entry may be longer.
inline constexpr size_t kMaximumEntryLength = 256;

// The string ID of the message for the first rule the entries break, checked in this order:
// password length, the second entry equal to the first (case counts), answer length, question
// length. Null when every rule holds.
const wchar_t* SecurityEntriesError(const SecurityEntries& entries);

}  // namespace tessaly
