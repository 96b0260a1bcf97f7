// Start-up cost of the string tables: load the language resource and the configuration file into
// fresh tables and look every string ID and configuration key up once. Prints the best and the
// median of several runs.
#include "FileBytes.h"
#include "LanguageIds.h"
#include "StringTable.h"
#include "Utf16Text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const wchar_t* const kConfigurationKeys[] = {
    L"SETTINGS_UPDATEURL",        L"SETTINGS_MUSICFILETYPES",       L"SETTINGS_VIDEOFILETYPES",
    L"SETTINGS_IMAGEFILETYPES",   L"SETTINGS_MINMUSICFILESIZE",     L"SETTINGS_MAXMUSICFILESIZE",
    L"SETTINGS_MINVIDEOFILESIZE", L"SETTINGS_MAXVIDEOFILESIZE",     L"SETTINGS_SHAREDFOLDERMAPPINGS",
    L"SETTINGS_UNINSTALLERMAPPINGS",
};

}  // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : TESSALY_SOURCE_DIR "/resources";
  const std::wstring resources(folder.begin(), folder.end());
  const std::wstring languagePath = resources + L"/LanguageResource.xml";
  const std::wstring configurationPath = resources + L"/ConfigurationFile.xml";
  const int runs = 20;

  std::vector<double> times;
  size_t found = 0, missing = 0;
  for (int run = 0; run < runs; ++run) {
    found = missing = 0;
    auto start = Clock::now();
    // The program copies the language resource out of Tessres; here it comes from the file.
    std::optional<std::string> bytes = tessaly::ReadWholeFile(languagePath);
    if (!bytes) {
      std::fprintf(stderr, "cannot read %s/LanguageResource.xml\n", folder.c_str());
      return 1;
    }
    auto* language = new tessaly::StringTable;  // kept, as the program's tables are
    auto* configuration = new tessaly::StringTable;
    tessaly::LoadLanguageXMLData(*language, tessaly::Utf16LeDocument(*bytes));
    tessaly::LoadConfigurationFile(configurationPath, *configuration);
    for (std::wstring_view id : tessaly::LanguageResourceIds()) {
      const wchar_t* text = tessaly::GetString(false, std::wstring(id).c_str(), *language);
      (text[0] == L'{' && std::wstring(text).rfind(L"{String Not Found", 0) == 0 ? missing : found)++;
    }
    for (const wchar_t* key : kConfigurationKeys) {
      const wchar_t* value = tessaly::GetString(true, key, *configuration);
      (std::wstring(value) == tessaly::kStringNotFound ? missing : found)++;
    }
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("bench-strings: %zu lookups (%zu missing), load + lookups best %.2f ms, median %.2f ms over %d runs\n",
              found + missing, missing, times.front(), times[times.size() / 2], runs);
  return missing == 0 ? 0 : 2;
}
