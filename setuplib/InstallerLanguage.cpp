#include "InstallerLanguage.h"

#include "Settings.h"

#include <cstdlib>

namespace tessaly {

std::wstring LanguageForInstallerId(int languageId) {
  static constexpr struct {
    int id;
    const wchar_t* language;
  } kLanguages[] = {
      {1030, L"Danish"},  {1031, L"German"}, {1033, L"English(US)"}, {1034, L"Spanish"},    {1035, L"Finnish"},
      {1040, L"Italian"}, {1043, L"Dutch"},  {1045, L"Polish"},      {1046, L"Portuguese"}, {2070, L"Portuguese"},
      {1053, L"Swedish"},
  };
  for (const auto& row : kLanguages) {
    if (row.id == languageId) return row.language;
  }
  return kDefaultLanguage;
}

std::wstring LanguageForInstallerText(const char* decimalText) {
  return decimalText ? LanguageForInstallerId(std::atoi(decimalText)) : std::wstring(kDefaultLanguage);
}

}  // namespace tessaly
