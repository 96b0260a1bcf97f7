#include "StartupModel.h"

#include <array>
#include <cwctype>

namespace tessaly {
namespace {

std::wstring Folded(std::wstring_view text) {
  std::wstring folded(text);
  for (wchar_t& c : folded) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return folded;
}

}  // namespace

std::wstring LowerCommandLine(std::wstring_view commandLine) {
  return Folded(commandLine.substr(0, kCommandLineCapacity - 1));
}

StartupSwitches FindStartupSwitches(std::wstring_view commandLine) {
  const std::wstring lowered = LowerCommandLine(commandLine);
  StartupSwitches switches;
  switches.silent = lowered.find(L"-silent") != std::wstring::npos;
  switches.noShow = lowered.find(L"-noshow") != std::wstring::npos;
  return switches;
}

std::wstring LanguageNameForModule(std::wstring_view moduleName) {
  struct Mapping {
    const wchar_t* module;  // lower case
    const wchar_t* name;
  };
  static constexpr std::array<Mapping, 9> kModules{{
      {L"danishlang.dll", L"Danish"},
      {L"dutchlang.dll", L"Dutch"},
      {L"finnishlang.dll", L"Finnish"},
      {L"germanlang.dll", L"German"},
      {L"italianlang.dll", L"Italian"},
      {L"polishlang.dll", L"Polish"},
      {L"spanishlang.dll", L"Spanish"},
      {L"swedishlang.dll", L"Swedish"},
      {L"uslang.dll", L"English(US)"},
  }};
  const std::wstring folded = Folded(moduleName);
  for (const Mapping& mapping : kModules) {
    if (folded == mapping.module) return mapping.name;
  }
  return kDefaultLanguageName;
}

std::wstring ChooseLanguageName(const std::optional<std::wstring>& userLanguage,
                                const std::optional<std::wstring>& languageModule) {
  if (userLanguage && userLanguage->size() > 3) return *userLanguage;
  if (languageModule && languageModule->size() > 3) return LanguageNameForModule(*languageModule);
  return kDefaultLanguageName;
}

}  // namespace tessaly
