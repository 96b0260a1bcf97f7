#include "StartupModel.h"

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

}  // namespace tessaly
