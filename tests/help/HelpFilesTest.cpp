// The built help files against the language resource and their HTML sources: every language's
// IDS_HELP_CHMFILENAME and IDS_FAQS_CHMFILENAME name a file beside the program (Windows file names
// ignore case) and a page inside it; every link of every page leads to a page the file holds and to
// a heading that page has; the control texts the pages quote are the language's own.
#include "ChmReader.h"
#include "FileBytes.h"
#include "HelpTestFiles.h"
#include "LanguageIds.h"
#include "StringTable.h"
#include "TextConvert.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <vector>

namespace tessaly::test {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

// The shipped language resource, loaded once.
StringTable& Languages() {
  static StringTable* table = [] {
    auto* t = new StringTable;
    const std::optional<std::string> bytes = ReadFileBytes(SourcePath("resources/LanguageResource.xml"));
    if (bytes) LoadLanguageXMLData(*t, Utf16LeDocument(*bytes));
    return t;
  }();
  return *table;
}

std::vector<std::string> LanguageCodes() {
  std::vector<std::string> codes;
  for (MvListEntry& entry : Languages().languages) {
    codes.push_back(Narrow(static_cast<LanguageRecord*>(entry.value)->code));
  }
  return codes;
}

std::string Text(const std::string& code, std::wstring_view id) {
  const wchar_t* text = Languages().FindString(Utf8ToWide(code) + L"-" + std::wstring(id));
  return text ? Narrow(text) : std::string();
}

// ".\UK_Help.chm::/introduction.htm" -> file and page; empty when the text has another form.
struct HelpTarget {
  std::string file, page;
};

HelpTarget ParseHelpText(const std::string& text) {
  const size_t separator = text.find("::/");
  if (text.rfind(".\\", 0) != 0 || separator == std::string::npos) return {};
  return {text.substr(2, separator - 2), text.substr(separator + 3)};
}

// The help files in the folder with the name in any case.
std::vector<std::filesystem::path> FilesNamedAnyCase(const std::string& name) {
  std::vector<std::filesystem::path> found;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(HelpFolder(), error)) {
    if (Lower(item.path().filename().string()) == Lower(name)) found.push_back(item.path());
  }
  return found;
}

std::string Decode(std::string text) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", "\xC2\xA0"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : kEntities) {
    for (size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::strlen(entity), character);
  }
  return text;
}

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern, int group = 1) {
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[group].str());
  }
  return found;
}

const std::regex kLink(R"re((?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
const std::regex kId(R"re(\sid\s*=\s*"([^"]*)")re", std::regex::icase);
const std::regex kQuoted(R"re(<span class="ui">([^<]*)</span>)re");

// The pages of one language's sources, by file name.
std::map<std::string, std::string> SourcePages(const std::string& code) {
  std::map<std::string, std::string> pages;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(SourcePath("resources/help/" + code), error)) {
    const std::string name = item.path().filename().string();
    if (name.size() > 4 && name.substr(name.size() - 4) == ".htm") pages[name] = ReadFileBytes(item.path()).value_or("");
  }
  return pages;
}

class HelpFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(LanguageCodes().empty()) << "resources/LanguageResource.xml not loaded"; }

  // The directory of the help file of a language, read once per test.
  const ChmDirectory* Directory(const std::string& code) {
    auto found = directories_.find(code);
    if (found != directories_.end()) return &found->second;
    const HelpTarget target = ParseHelpText(Text(code, L"IDS_HELP_CHMFILENAME"));
    const std::vector<std::filesystem::path> files = FilesNamedAnyCase(target.file);
    if (files.size() != 1) return nullptr;
    const std::optional<std::string> bytes = ReadFileBytes(files[0]);
    ChmDirectory directory;
    std::string error;
    if (!bytes || !ReadChmDirectory(*bytes, directory, error)) {
      ADD_FAILURE() << files[0].string() << ": " << error;
      return nullptr;
    }
    return &directories_.emplace(code, std::move(directory)).first->second;
  }

  std::map<std::string, ChmDirectory> directories_;
};

TEST_F(HelpFiles, EveryLanguageTextNamesOneFileAndAPageInIt) {
  std::set<std::string> named;
  for (const std::string& code : LanguageCodes()) {
    for (const wchar_t* id : {L"IDS_HELP_CHMFILENAME", L"IDS_FAQS_CHMFILENAME"}) {
      const std::string text = Text(code, id);
      const HelpTarget target = ParseHelpText(text);
      const std::string what = code + " " + Narrow(id) + " \"" + text + "\"";
      ASSERT_FALSE(target.file.empty() || target.page.empty()) << what;
      EXPECT_EQ(FilesNamedAnyCase(target.file).size(), 1u) << what;
      named.insert(Lower(target.file));
      const ChmDirectory* directory = Directory(code);
      ASSERT_NE(directory, nullptr) << what;
      // The page as the viewer is asked for it, in the case the text spells it.
      const ChmEntry* page = directory->Find("/" + target.page);
      ASSERT_NE(page, nullptr) << what;
      EXPECT_EQ(page->section, 1u) << what;
      const std::optional<std::string> source =
          ReadFileBytes(SourcePath("resources/help/" + code + "/" + target.page));
      ASSERT_TRUE(source) << what;
      EXPECT_EQ(page->length, source->size()) << what << ": the file holds another version of the page";
    }
  }
  // One file per language: the user guide and the FAQ of a language share it.
  EXPECT_EQ(named.size(), LanguageCodes().size());
  size_t built = 0;
  for (const auto& item : std::filesystem::directory_iterator(HelpFolder())) {
    if (Lower(item.path().extension().string()) == ".chm") ++built;
  }
  EXPECT_EQ(built, named.size()) << "help files that no language names lie beside the program";
}

TEST_F(HelpFiles, EveryLinkLeadsToAPageAndHeadingTheFileHolds) {
  for (const std::string& code : LanguageCodes()) {
    const ChmDirectory* directory = Directory(code);
    ASSERT_NE(directory, nullptr) << code;
    const std::map<std::string, std::string> pages = SourcePages(code);
    ASSERT_FALSE(pages.empty()) << code;
    for (const auto& [name, html] : pages) {
      EXPECT_NE(directory->Find("/" + name), nullptr) << code << ": " << name << " is not in the help file";
      for (const std::string& link : Matches(html, kLink)) {
        const std::string where = code + "/" + name + ": " + link;
        if (link.rfind("http:", 0) == 0 || link.rfind("https:", 0) == 0 || link.rfind("mailto:", 0) == 0) {
          ADD_FAILURE() << where << ": the help pages stay inside the file";
          continue;
        }
        const size_t hash = link.find('#');
        const std::string file = hash == std::string::npos ? link : link.substr(0, hash);
        const std::string target = file.empty() ? name : file;
        EXPECT_NE(directory->Find("/" + target), nullptr) << where;
        if (hash == std::string::npos) continue;
        const auto page = pages.find(target);
        if (page == pages.end()) continue;  // a style sheet or picture, found above
        const std::vector<std::string> ids = Matches(page->second, kId);
        EXPECT_NE(std::find(ids.begin(), ids.end(), link.substr(hash + 1)), ids.end()) << where;
      }
    }
  }
}

TEST_F(HelpFiles, QuotedControlTextsAreTheLanguagesOwn) {
  for (const std::string& code : LanguageCodes()) {
    std::set<std::string> texts;
    for (std::wstring_view id : LanguageResourceIds()) texts.insert(Text(code, id));
    for (const auto& [name, html] : SourcePages(code)) {
      const std::vector<std::string> quoted = Matches(html, kQuoted);
      EXPECT_FALSE(quoted.empty()) << code << "/" << name << " quotes no control";
      for (const std::string& text : quoted) {
        EXPECT_EQ(texts.count(Decode(text)), 1u) << code << "/" << name << ": \"" << text << "\"";
      }
    }
  }
}

TEST_F(HelpFiles, EveryLanguageHasThePagesAndSectionsOfTheOthers) {
  // Sections are linked by id from other pages and from the contents, so a translation must keep
  // them all; the pages are UTF-8, as they declare.
  const std::vector<std::string> codes = LanguageCodes();
  std::map<std::string, std::vector<std::string>> reference;
  for (const auto& [name, html] : SourcePages(codes.front())) reference[name] = Matches(html, kId);
  for (const std::string& code : codes) {
    const std::map<std::string, std::string> pages = SourcePages(code);
    std::map<std::string, std::vector<std::string>> sections;
    for (const auto& [name, html] : pages) {
      sections[name] = Matches(html, kId);
      EXPECT_TRUE(IsWellFormedUtf8(html)) << code << "/" << name;
      EXPECT_NE(html.find("charset=utf-8"), std::string::npos) << code << "/" << name;
    }
    EXPECT_EQ(sections, reference) << code << " against " << codes.front();
  }
}

}  // namespace
}  // namespace tessaly::test
