// The login password, its security question and the answer, kept in the program's own key as
// UTF-16 without terminator (through the settings module); and the one-time migration of the
// older product's enciphered password when no password of our own exists yet. Both deliverables
// use these.
#pragma once

#include "SettingsStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// True when the stored "Password" can be read.
bool PasswordExists(const SettingsStore& store);

// The stored password equals the text exactly (case-sensitive). Without a stored password the
// older store is migrated: its deciphered text, lower-cased, becomes the stored password and is
// compared without regard to case. An empty text is never accepted.
bool CheckPassword(SettingsStore& store, std::wstring_view entered);

// The stored answer equals the text exactly. An empty text is never accepted.
bool CheckAnswer(const SettingsStore& store, std::wstring_view entered);

// The stored security question, when there is one.
std::optional<std::wstring> StoredQuestion(const SettingsStore& store);

// Each writes one value; false only when the store refused it.
bool StorePassword(SettingsStore& store, const std::wstring& password);
bool StoreQuestion(SettingsStore& store, const std::wstring& question);
bool StoreAnswer(SettingsStore& store, const std::wstring& answer);

// The password the older store holds, as it is migrated: deciphered, ASCII letters lowered,
// converted from the ANSI code page, at most 512 characters. Nullopt when there is no older
// value or it holds no text.
std::optional<std::wstring> MigratedLegacyPassword(const SettingsStore& store);

}  // namespace tessaly
