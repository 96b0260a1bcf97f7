#include "FileBytes.h"
#include "LogCapture.h"
#include "Paths.h"
#include "StringTable.h"
#include "TempTree.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

// Captured while this program's statics are initialised, before main.
StringTable* const kLanguageTableAtStart = &LanguageTable();

// A language document with the given String elements, listing Dansk (DK) then English(UK).
std::wstring LanguageDocument(const std::wstring& strings) {
  return L"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
         L"<MorvaneSoftware>\r\n<Tessaly>\r\n<Resource>\r\n"
         L"<!-- languages first -->\r\n"
         L"<AvailableLanguages>\r\n"
         L"<Language LangCode=\"DK\">Dansk</Language>\r\n"
         L"<Language LangCode=\"X\">too short a code</Language>\r\n"
         L"<Language LangCode=\"UK\">English(UK)</Language>\r\n"
         L"</AvailableLanguages>\r\n" +
         strings + L"</Resource>\r\n</Tessaly>\r\n</MorvaneSoftware>\r\n";
}

const std::wstring kUnits =
    L"<String SID=\"IDS_BYTES\" Lang=\"UK\">Bytes</String>\r\n<String SID=\"IDS_KB\" Lang=\"UK\">KB</String>\r\n"
    L"<String SID=\"IDS_MB\" Lang=\"UK\">MB</String>\r\n<String SID=\"IDS_GB\" Lang=\"UK\">GB</String>\r\n"
    L"<String SID=\"IDS_TB\" Lang=\"UK\">TB</String>\r\n<String SID=\"IDS_KB\" Lang=\"DK\">kB</String>\r\n";

const std::wstring kBasic =
    L"<String SID=\"IDS_PROGRAMTITLE\" Lang=\"DK\">Tessaly</String>\r\n"
    L"<String SID=\"IDS_OK\" Lang=\"DK\">OK</String>\r\n"
    L"<String SID=\"IDS_PROGRAMTITLE\" Lang=\"UK\">Tessaly</String>\r\n"
    L"<String SID=\"IDS_OK\" Lang=\"UK\">OK</String>\r\n"
    L"<String SID=\"IDS_OK\" Lang=\"UK\">Second OK</String>\r\n";

size_t CountOf(const std::wstring& text, const std::wstring& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(StringTable, LoadsLanguagesInOrderAndTheFirstIsCurrent) {
  StringTable table;
  test::LogCapture log;
  EXPECT_FALSE(LoadLanguageXMLData(table, LanguageDocument(kBasic)));
  std::vector<std::wstring> languages;
  for (const MvListEntry& e : table.languages) {
    auto* language = static_cast<LanguageRecord*>(e.value);
    languages.push_back(std::wstring(e.Name()) + L"=" + language->name);
  }
  EXPECT_EQ(languages, (std::vector<std::wstring>{L"DK=Dansk", L"UK=English(UK)"}));
  ASSERT_NE(table.currentLanguage, nullptr);
  EXPECT_EQ(table.currentLanguage->code, L"DK");
  EXPECT_EQ(table.strings.count, 5u);
  EXPECT_NE(table.strings.Find(L"UK-IDS_PROGRAMTITLE"), nullptr);
  EXPECT_EQ(log.Count(L"LoadLanguageXMLData(): Loading LangData, PNS(Tessaly), SelectedLanguage()\r\n"), 1u);
  EXPECT_EQ(log.Count(L"LoadLanguageXMLData(): Entering Company Namespace\r\n"), 1u);
  EXPECT_EQ(log.Count(L"LoadLanguageXMLData(): Entering Program Namespace\r\n"), 1u);
  EXPECT_EQ(log.CountContaining(L"(ERROR"), 0u);
  // A key that occurs twice keeps its first value.
  ASSERT_EQ(SelectLanguage(table, L"English(UK)"), 1);
  EXPECT_STREQ(GetString(false, L"IDS_OK", table), L"OK");
  EXPECT_FALSE(table.modified);
}

TEST(StringTable, ContentConventions) {
  struct {
    const char* name;
    std::wstring element;  // the String element for UK-IDS_T
    std::wstring want;
  } cases[] = {
      {"plain", L"<String SID=\"IDS_T\" Lang=\"UK\">Ready</String>", L"Ready"},
      {"two spaces stand for empty", L"<String SID=\"IDS_T\" Lang=\"UK\">  </String>", L""},
      {"one space is missing", L"<String SID=\"IDS_T\" Lang=\"UK\"> </String>", kMissingXmlValue},
      {"empty content is missing", L"<String SID=\"IDS_T\" Lang=\"UK\"></String>", kMissingXmlValue},
      {"empty form is missing", L"<String SID=\"IDS_T\" Lang=\"UK\"/>", kMissingXmlValue},
      {"TODO: dropped", L"<String SID=\"IDS_T\" Lang=\"UK\">TODO:Scan</String>", L"Scan"},
      {"TODO: alone is missing", L"<String SID=\"IDS_T\" Lang=\"UK\">TODO:</String>", kMissingXmlValue},
      {"todo: is text", L"<String SID=\"IDS_T\" Lang=\"UK\">todo:x</String>", L"todo:x"},
      {"escaped <br>", L"<String SID=\"IDS_T\" Lang=\"UK\">a&lt;br&gt;b</String>", L"a\r\nb"},
      {"backslash r backslash n", L"<String SID=\"IDS_T\" Lang=\"UK\">a\\r\\nb\\r</String>", L"a\r\nb\\r"},
      {"NoCrLfConvert keeps both",
       L"<String SID=\"IDS_T\" Lang=\"UK\" Options=\"NoCrLfConvert\">{\\rtf1 a\\r\\n&lt;br&gt;}</String>",
       L"{\\rtf1 a\\r\\n<br>}"},
      {"option among others", L"<String SID=\"IDS_T\" Lang=\"UK\" Options=\"Rtf NoCrLfConvert\">a&lt;br&gt;</String>",
       L"a<br>"},
      {"attributes in any order", L"<String Lang=\"UK\" SID=\"IDS_T\">x</String>", L"x"},
      {"CDATA", L"<String SID=\"IDS_T\" Lang=\"UK\"><![CDATA[<b>&amp;]]></String>", L"<b>&amp;"},
      {"line breaks in the file kept", L"<String SID=\"IDS_T\" Lang=\"UK\">a\r\nb</String>", L"a\r\nb"},
  };
  for (const auto& c : cases) {
    StringTable table;
    LoadLanguageXMLData(table, LanguageDocument(c.element + L"\r\n"));
    ASSERT_EQ(SelectLanguage(table, L"English(UK)"), 1) << c.name;
    EXPECT_EQ(std::wstring(GetString(false, L"IDS_T", table)), c.want) << c.name;
  }
}

TEST(StringTable, UntranslatedTextIsReportedWithTheLanguageName) {
  StringTable table;
  test::LogCapture log;
  LoadLanguageXMLData(table, LanguageDocument(L"<String SID=\"IDS_A\" Lang=\"UK\">TODO:Scan</String>\r\n"
                                              L"<String SID=\"IDS_B\" Lang=\"FI\">TODO:Skannaa</String>\r\n"));
  EXPECT_EQ(log.CountContaining(L"Needs translation in English(UK)(UK): SID(IDS_A)\r\n"), 1u);
  EXPECT_EQ(log.CountContaining(L"Needs translation in FI(FI): SID(IDS_B)\r\n"), 1u);
  EXPECT_EQ(log.CountContaining(L"(ERROR "), 2u);
}

TEST(StringTable, MissingIdAddsOnePlaceholderPerLanguageOnce) {
  StringTable table;
  LoadLanguageXMLData(table, LanguageDocument(kBasic));
  test::LogCapture log;
  EXPECT_STREQ(GetString(false, L"IDS_NOPE", table), kStringNotFound);
  EXPECT_EQ(log.CountContaining(L"GetString: Missing XML String(IDS_NOPE), Lang(DK)\r\n"), 1u);
  EXPECT_TRUE(table.modified);
  const std::wstring once = table.document.Document();
  EXPECT_NE(once.find(L"<String SID=\"IDS_OK\" Lang=\"UK\">Second OK</String>\r\n"
                      L"<String SID=\"IDS_NOPE\" Lang=\"DK\"> </String>\r\n"
                      L"<String SID=\"IDS_NOPE\" Lang=\"UK\"> </String>\r\n</Resource>"),
            std::wstring::npos);
  EXPECT_EQ(log.Count(L"AddOrReplaceStringElement(): LangCode(UK), StringID(IDS_NOPE), XmlValue( ), "
                      L"ProgramNamespace(Tessaly)\r\n"),
            1u);

  // The ID is still missing: the lookup misses and reports again, but adds nothing.
  EXPECT_STREQ(GetString(false, L"IDS_NOPE", table), kStringNotFound);
  EXPECT_EQ(log.CountContaining(L"GetString: Missing XML String(IDS_NOPE)"), 2u);
  EXPECT_EQ(table.document.Document(), once);
  // Other lookups still work on the edited document's table.
  EXPECT_STREQ(GetString(false, L"IDS_OK", table), L"OK");
}

TEST(StringTable, ConcurrentMissesAddPlaceholdersOnce) {
  StringTable table;
  LoadLanguageXMLData(table, LanguageDocument(kBasic));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&table] {
      for (int i = 0; i < 20; ++i) {
        GetString(false, L"IDS_RACE", table);
        GetString(false, L"IDS_OK", table);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(CountOf(table.document.Document(), L"SID=\"IDS_RACE\""), 2u);
}

TEST(StringTable, LookupsWithoutALanguage) {
  StringTable table;
  test::LogCapture log;
  EXPECT_STREQ(GetString(false, L"IDS_OK", table), kLanguageNotSet);
  EXPECT_EQ(log.CountContaining(L"(ERROR"), 0u);
  EXPECT_STREQ(GetString(true, L"SETTINGS_UPDATEURL", table), kStringNotFound);
  EXPECT_EQ(log.CountContaining(L"GetString: Missing XML String(SETTINGS_UPDATEURL), Lang(N/A)\r\n"), 1u);
  EXPECT_STREQ(GetString(false, L"IDS_OK", nullptr), kStringNotFound);
  EXPECT_STREQ(FormatByteSize(5, table), L"5{String Not Found - Language not set}");
}

TEST(StringTable, NeutralConfigurationValuesAddNoPlaceholders) {
  StringTable table;
  LoadLanguageXMLData(table,
                      L"<MorvaneSoftware><Tessaly><Resource>"
                      L"<String SID=\"SETTINGS_UPDATEURL\" Lang=\"Neutral\">http://127.0.0.1/u</String>"
                      L"<String SID=\"SETTINGS_MUSICFILETYPES\" Lang=\"Neutral\">.mp3;.ogg</String>"
                      L"</Resource></Tessaly></MorvaneSoftware>");
  const std::wstring document = table.document.Document();
  EXPECT_STREQ(GetString(true, L"SETTINGS_UPDATEURL", table), L"http://127.0.0.1/u");
  EXPECT_STREQ(GetString(true, L"SETTINGS_MUSICFILETYPES", table), L".mp3;.ogg");
  EXPECT_STREQ(GetString(true, L"SETTINGS_NOPE", table), kStringNotFound);
  EXPECT_STREQ(GetString(false, L"SETTINGS_UPDATEURL", table), kLanguageNotSet);
  EXPECT_FALSE(table.modified);
  EXPECT_EQ(table.document.Document(), document);
}

TEST(StringTable, SelectLanguage) {
  struct {
    const char* name;
    const wchar_t* select;
    int want;
    std::wstring current;
  } cases[] = {
      {"second language", L"English(UK)", 1, L"UK"},
      {"first language", L"Dansk", 1, L"DK"},
      {"unknown keeps the first", L"Klingon", 0, L"DK"},
      {"case-sensitive", L"dansk", 0, L"DK"},
      {"by code, not name", L"UK", 0, L"DK"},
      {"too-short code was never listed", L"too short a code", 0, L"DK"},
      {"null", nullptr, 0, L"DK"},
  };
  for (const auto& c : cases) {
    StringTable table;
    LoadLanguageXMLData(table, LanguageDocument(kBasic));
    EXPECT_EQ(SelectLanguage(table, c.select), c.want) << c.name;
    EXPECT_EQ(table.currentLanguage->code, c.current) << c.name;
  }
}

TEST(StringTable, BadDocumentsLoadWhatTheyCan) {
  const std::wstring good = LanguageDocument(kBasic);
  struct {
    const char* name;
    std::wstring text;
    std::wstring report;  // expected error report, empty for none
    size_t strings;       // strings loaded
  } cases[] = {
      {"empty", L"", L"LoadLanguages: ERROR: could not parse XML Data", 0},
      {"truncated", good.substr(0, good.size() / 2), L"LoadLanguages: ERROR: could not parse XML Data", 0},
      {"unbalanced", L"<MorvaneSoftware><Tessaly><Resource></Tessaly></Resource></MorvaneSoftware>",
       L"LoadLanguages: ERROR: could not parse XML Data", 0},
      {"binary", std::wstring(L"\x0001\xFFFF<\x0000\x00DE\x0003>", 7), L"LoadLanguages: ERROR: could not parse XML Data", 0},
      {"other root", L"<Company><Tessaly/></Company>",
       L"LoadLanguages: ERROR: could not find the [Resource] tag in XML file", 0},
      {"other program", L"<MorvaneSoftware><Other><Resource/></Other></MorvaneSoftware>", L"", 0},
      {"no resource", L"<MorvaneSoftware><Tessaly><Other/></Tessaly></MorvaneSoftware>", L"", 0},
      {"attributes without quotes",
       L"<MorvaneSoftware><Tessaly><Resource>"
       L"<String SID=IDS_A Lang=UK>unquoted</String><String SID=\"IDS_B\" Lang=\"UK\">quoted</String>"
       L"</Resource></Tessaly></MorvaneSoftware>",
       L"", 2},
  };
  for (const auto& c : cases) {
    StringTable table;
    test::LogCapture log;
    LoadLanguageXMLData(table, c.text);
    EXPECT_EQ(table.strings.count, c.strings) << c.name;
    EXPECT_EQ(table.languages.count, 0u) << c.name;
    if (c.report.empty()) {
      EXPECT_EQ(log.CountContaining(L"(ERROR"), 0u) << c.name;
    } else {
      EXPECT_EQ(log.CountContaining(L") " + c.report + L"\r\n"), 1u) << c.name;
    }
    EXPECT_STREQ(GetString(true, L"IDS_B", table), kStringNotFound) << c.name;
  }
  // The unquoted attributes read as empty: that text is stored under the key "-".
  StringTable table;
  LoadLanguageXMLData(table, cases[7].text);
  EXPECT_NE(table.strings.Find(L"-"), nullptr);
  EXPECT_NE(table.strings.Find(L"UK-IDS_B"), nullptr);
}

TEST(StringTable, AddOrReplaceStringElement) {
  {
    StringTable table;
    test::LogCapture log;
    AddOrReplaceStringElement(L"UK", L"IDS_X", table, L" ");
    EXPECT_EQ(log.CountContaining(L"AddOrReplaceStringElement: ERROR: XML is not well formed\r\n"), 1u);
    EXPECT_FALSE(table.modified);
  }
  {
    StringTable table;
    LoadLanguageXMLData(table, L"<MorvaneSoftware><Tessaly/></MorvaneSoftware>");
    test::LogCapture log;
    AddOrReplaceStringElement(L"UK", L"IDS_X", table, L" ");
    EXPECT_EQ(log.CountContaining(
                  L"AddOrReplaceStringElement: ERROR: could not find the [Resource] tag in XML file\r\n"),
              1u);
    EXPECT_FALSE(table.modified);
  }
  {
    StringTable table;
    LoadLanguageXMLData(table, LanguageDocument(kBasic));
    const std::wstring document = table.document.Document();
    AddOrReplaceStringElement(L"UK", L"IDS_OK", table, L"replacement");  // exists: unchanged
    EXPECT_EQ(table.document.Document(), document);
    EXPECT_FALSE(table.modified);
    AddOrReplaceStringElement(L"uk", L"IDS_OK", table, L"a & b");  // codes are case-sensitive
    EXPECT_TRUE(table.modified);
    EXPECT_NE(table.document.Document().find(L"<String SID=\"IDS_OK\" Lang=\"uk\">a &amp; b</String>\r\n</Resource>"),
              std::wstring::npos);
    // The table's lookups are not changed by the document edit.
    EXPECT_EQ(table.strings.count, 5u);
  }
  {
    // A Resource without String elements receives the first one as its last child.
    StringTable table;
    LoadLanguageXMLData(table, L"<MorvaneSoftware><Tessaly><Resource/></Tessaly></MorvaneSoftware>");
    AddOrReplaceStringElement(L"UK", L"IDS_X", table, L" ");
    EXPECT_EQ(table.document.Document(), L"<MorvaneSoftware><Tessaly><Resource>\r\n"
                                         L"<String SID=\"IDS_X\" Lang=\"UK\"> </String>\r\n"
                                         L"</Resource></Tessaly></MorvaneSoftware>");
  }
}

TEST(StringTable, WrittenLanguageFileLoadsBackWithThePlaceholders) {
  test::TempTree tree;
  const std::wstring folder = tree.RootText() + kPathSeparator;
  StringTable table;
  LoadLanguageXMLData(table, LanguageDocument(kBasic));
  EXPECT_FALSE(WriteLanguageFile(folder, table));  // nothing added yet: no file
  EXPECT_FALSE(std::filesystem::exists(tree.root() / "LanguageFile.xml"));

  GetString(false, L"IDS_MISSING", table);
  ASSERT_TRUE(WriteLanguageFile(folder, table));
  EXPECT_FALSE(table.modified);
  std::optional<std::string> bytes = ReadWholeFile(folder + L"LanguageFile.xml");
  ASSERT_TRUE(bytes);
  ASSERT_GE(bytes->size(), 2u);
  EXPECT_EQ(bytes->substr(0, 2), std::string("\xFF\xFE"));  // the byte-order mark was kept
  EXPECT_EQ(*bytes, WideToUtf16Le(table.document.Document()));

  StringTable reloaded;
  LoadLanguageXMLData(reloaded, Utf16LeDocument(*bytes));
  EXPECT_EQ(reloaded.languages.count, 2u);
  for (const wchar_t* language : {L"Dansk", L"English(UK)"}) {
    ASSERT_EQ(SelectLanguage(reloaded, language), 1);
    EXPECT_STREQ(GetString(false, L"IDS_MISSING", reloaded), kMissingXmlValue) << language;
    EXPECT_STREQ(GetString(false, L"IDS_PROGRAMTITLE", reloaded), L"Tessaly") << language;
  }
  EXPECT_FALSE(reloaded.modified);
  EXPECT_FALSE(WriteLanguageFile(folder, table));  // written already
}

TEST(StringTable, WriteLanguageFileToAMissingFolderKeepsTheChanges) {
  test::TempTree tree;
  StringTable table;
  LoadLanguageXMLData(table, LanguageDocument(kBasic));
  GetString(false, L"IDS_MISSING", table);
  const std::wstring missing = tree.RootText() + kPathSeparator + L"no such folder" + kPathSeparator;
  EXPECT_FALSE(WriteLanguageFile(missing, table));
  EXPECT_TRUE(table.modified);  // still to be written
}

TEST(StringTable, LoadConfigurationFile) {
  const std::wstring configuration =
      L"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<MorvaneSoftware><Tessaly><Resource>\r\n"
      L"<String SID=\"SETTINGS_UPDATEURL\" Lang=\"Neutral\">http://127.0.0.1:8080/update.xml</String>\r\n"
      L"</Resource></Tessaly></MorvaneSoftware>\r\n";
  const std::string utf16 = WideToUtf16Le(configuration);
  std::string utf8 = "<MorvaneSoftware><Tessaly><Resource><String SID=\"SETTINGS_UPDATEURL\" "
                     "Lang=\"Neutral\">x</String></Resource></Tessaly></MorvaneSoftware>";
  struct {
    const char* name;
    std::optional<std::string> bytes;  // absent: no file
    std::wstring want;
    std::wstring report;
  } cases[] = {
      {"UTF-16 with byte-order mark", utf16, L"http://127.0.0.1:8080/update.xml", L""},
      {"missing file", std::nullopt, kStringNotFound, L""},
      {"empty file", std::string(), kStringNotFound, L"LoadLanguages: ERROR: could not parse XML Data"},
      {"UTF-8 (wrong encoding)", utf8, kStringNotFound, L"LoadLanguages: ERROR: could not parse XML Data"},
      {"odd last byte", utf16 + "A", L"http://127.0.0.1:8080/update.xml", L""},
      {"text after a zero character", utf16 + std::string("\0\0<x", 4), L"http://127.0.0.1:8080/update.xml", L""},
      {"cut short", utf16.substr(0, utf16.size() - 41), kStringNotFound,
       L"LoadLanguages: ERROR: could not parse XML Data"},
  };
  for (const auto& c : cases) {
    test::TempTree tree;
    const std::wstring path = tree.RootText() + kPathSeparator + L"ConfigurationFile.xml";
    if (c.bytes) {
      ASSERT_TRUE(WriteWholeFile(path, *c.bytes)) << c.name;
    }
    StringTable table;
    test::LogCapture log;
    EXPECT_TRUE(LoadConfigurationFile(path, table)) << c.name;
    EXPECT_STREQ(GetString(true, L"SETTINGS_UPDATEURL", table), c.want.c_str()) << c.name;
    EXPECT_FALSE(table.modified) << c.name;
    if (!c.report.empty()) {
      EXPECT_EQ(log.CountContaining(c.report), 1u) << c.name;
    }
  }
}

TEST(StringTable, FormatByteSize) {
  StringTable table;
  LoadLanguageXMLData(table, LanguageDocument(kUnits));
  ASSERT_EQ(SelectLanguage(table, L"English(UK)"), 1);
  struct {
    double size;
    std::wstring want;
  } cases[] = {
      {0, L"0Bytes"},         {-5, L"0Bytes"},         {0.4, L"0Bytes"},
      {1, L"1Bytes"},         {999, L"999Bytes"},      {1000, L"0.98KB"},
      {1024, L"1.00KB"},      {999999, L"976.56KB"},   {1e6, L"0.95MB"},
      {1048576, L"1.00MB"},   {1e9, L"0.93GB"},        {1073741824, L"1.00GB"},
      {1e12, L"0.91TB"},      {1099511627776.0, L"1.00TB"}, {5e15, L"4547.47TB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::wstring(FormatByteSize(c.size, table)), c.want) << c.size;
  }
  // The unit follows the current language.
  ASSERT_EQ(SelectLanguage(table, L"Dansk"), 1);
  EXPECT_STREQ(FormatByteSize(2048, table), L"2.00kB");
  // The text is the caller's until the next call on this thread.
  const wchar_t* first = FormatByteSize(1024, table);
  EXPECT_EQ(first, FormatByteSize(0, table));
}

TEST(StringTable, LookupTextsStayPut) {
  StringTable table;
  LoadLanguageXMLData(table, LanguageDocument(kBasic));
  const wchar_t* title = GetString(false, L"IDS_PROGRAMTITLE", table);
  std::wstring more;
  for (int i = 0; i < 500; ++i) more += L"<String SID=\"IDS_N" + std::to_wstring(i) + L"\" Lang=\"DK\">n</String>";
  LoadLanguageXMLData(table, LanguageDocument(more));
  for (int i = 0; i < 50; ++i) GetString(false, (L"IDS_GONE" + std::to_wstring(i)).c_str(), table);
  EXPECT_EQ(GetString(false, L"IDS_PROGRAMTITLE", table), title);
  EXPECT_STREQ(title, L"Tessaly");
  EXPECT_STREQ(GetString(false, L"IDS_N499", table), L"n");
}

TEST(StringTable, GlobalTablesExistBeforeMain) {
  EXPECT_EQ(kLanguageTableAtStart, &LanguageTable());
  EXPECT_NE(&LanguageTable(), &ConfigurationTable());
  EXPECT_EQ(&ConfigurationTable(), &ConfigurationTable());
}

}  // namespace
}  // namespace tessaly
