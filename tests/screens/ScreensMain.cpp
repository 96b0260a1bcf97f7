// tessaly_screens OUTFOLDER LANGUAGE [NAME-PREFIX]
// Runs every registered scene (or those whose names start with NAME-PREFIX) in the language of
// the shipped resource named LANGUAGE ("English(UK)", "German", ...), writing NAME-TAG.bmp files
// into OUTFOLDER, where TAG is the language name with its brackets turned into a dash.
#include "GuiTestSupport.h"
#include "SceneList.h"
#include "TextConvert.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

std::wstring FileTag(std::wstring language) {
  std::wstring tag;
  for (wchar_t c : language) {
    if (c == L'(' || c == L' ') tag += L'-';
    else if (c != L')') tag += c;
  }
  return tag;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace tessaly;
  if (argc < 3) {
    std::fprintf(stderr, "usage: tessaly_screens OUTFOLDER LANGUAGE [NAME-PREFIX]\n");
    return 2;
  }
  std::wstring out = argv[1];
  if (!out.empty() && out.back() != L'\\') out += L'\\';
  const std::wstring language = argv[2];
  const std::string prefix = argc > 3 ? WideToUtf8(argv[3]) : std::string();

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"riched20.dll");

  StringTable& table = test::ShippedLanguage();
  if (SelectLanguage(table, language.c_str()) != 1) {
    std::fprintf(stderr, "screens: no language \"%s\" in Tessres.dll\n", WideToUtf8(language).c_str());
    return 2;
  }
  auto scenes = test::RegisteredScenes();
  std::sort(scenes.begin(), scenes.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  int failures = 0;
  for (const auto& named : scenes) {
    if (named.name.rfind(prefix, 0) != 0) continue;
    test::Scene scene(out, FileTag(language), table);
    try {
      named.function(scene);
      std::printf("scene %s: done\n", named.name.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "scene %s failed: %s\n", named.name.c_str(), e.what());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
