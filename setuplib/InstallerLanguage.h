// The language the installer chose, as the program's "Language" value names it.
#pragma once

#include <string>

namespace tessaly {

// The display name for a Windows language identifier (1031 -> "German", 2070 -> "Portuguese");
// "English(UK)" for any identifier without a language of its own.
std::wstring LanguageForInstallerId(int languageId);

// The same for the identifier as decimal text, read as atoi does; a null text gives "English(UK)".
std::wstring LanguageForInstallerText(const char* decimalText);

}  // namespace tessaly
