// Checks of the shipped data: the language resource (every ID in every language, the welcome
// text's headings matching the quick links) and the configuration file's defaults.
#include "FileBytes.h"
#include "LanguageIds.h"
#include "LogCapture.h"
#include "StringTable.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// A file of the source tree, as a path the program under test can open.
std::wstring SourcePath(const std::string& relative) {
  std::string path = std::string(TESSALY_SOURCE_DIR) + "/" + relative;
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
  path = "Z:" + path;  // Wine shows the Unix root as drive Z
#endif
  return std::wstring(path.begin(), path.end());
}

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separators) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find_first_of(separators, start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    if (end == text.size()) return parts;
    start = end + 1;
  }
}

// ---- plain text of an RTF document, enough to find its headings ------------------------------

constexpr uint16_t kCp1250High[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};
constexpr uint16_t kCp1252Low[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                     0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

wchar_t FromCodePage(int codePage, unsigned byte) {
  if (byte < 0x80) return static_cast<wchar_t>(byte);
  if (codePage == 1250) return static_cast<wchar_t>(kCp1250High[byte - 0x80]);
  if (byte < 0xA0) return static_cast<wchar_t>(kCp1252Low[byte - 0x80]);
  return static_cast<wchar_t>(byte);  // 1252 and Latin-1 agree from 0xA0 on
}

// The text an RTF reader shows: escapes decoded (\'xx in the document's code page, \uN with its
// one fallback character skipped), paragraph marks as line feeds, other control words dropped.
std::wstring RtfPlainText(const std::wstring& rtf) {
  std::wstring out;
  int codePage = 1252;
  int skip = 0;  // fallback characters still to drop after \uN
  auto emit = [&](wchar_t c) {
    if (skip > 0) --skip; else out += c;
  };
  for (size_t i = 0; i < rtf.size();) {
    wchar_t c = rtf[i];
    if (c == L'{' || c == L'}' || c == L'\r' || c == L'\n') { ++i; continue; }
    if (c != L'\\') { emit(c); ++i; continue; }
    if (i + 1 >= rtf.size()) break;
    wchar_t n = rtf[i + 1];
    if (n == L'\\' || n == L'{' || n == L'}') { emit(n); i += 2; continue; }
    if (n == L'\'' && i + 3 < rtf.size()) {
      emit(FromCodePage(codePage, static_cast<unsigned>(std::stoul(std::wstring(rtf, i + 2, 2), nullptr, 16))));
      i += 4;
      continue;
    }
    if (!std::iswalpha(static_cast<wint_t>(n))) { i += 2; continue; }  // \~, \-, \* and the like
    size_t j = i + 1;
    while (j < rtf.size() && std::iswalpha(static_cast<wint_t>(rtf[j]))) ++j;
    std::wstring word(rtf, i + 1, j - i - 1);
    size_t k = j;
    if (k < rtf.size() && (rtf[k] == L'-' || std::iswdigit(static_cast<wint_t>(rtf[k])))) ++k;
    while (k < rtf.size() && std::iswdigit(static_cast<wint_t>(rtf[k]))) ++k;
    long number = k > j ? std::stol(std::wstring(rtf, j, k - j)) : 0;
    if (k < rtf.size() && rtf[k] == L' ') ++k;
    i = k;
    skip = 0;
    if (word == L"ansicpg") codePage = static_cast<int>(number);
    else if (word == L"par" || word == L"line") out += L'\n';
    else if (word == L"tab") out += L'\t';
    else if (word == L"u") {
      out += static_cast<wchar_t>(number < 0 ? number + 65536 : number);
      skip = 1;
    }
  }
  return out;
}

TEST(ResourceFiles, RtfPlainTextDecodesEscapes) {
  EXPECT_EQ(RtfPlainText(L"{\\rtf1\\ansi\\ansicpg1250{\\fonttbl}\\b Jak dzia\\'b3a\\b0\\par "
                         L"Gr\\u252?\\'fc\\u-3913?e \\{x\\}}"),
            L"Jak dzia\u0142a\nGr\u00FC\u00FC\uF0B7e {x}");
}

// ---- the language resource -------------------------------------------------------------------

struct Language {
  const wchar_t* code;
  const wchar_t* name;
};
constexpr Language kLanguages[] = {
    {L"DK", L"Dansk"},   {L"DE", L"German"},  {L"ES", L"Spanish"},    {L"FI", L"Finnish"},
    {L"IT", L"Italian"}, {L"NL", L"Dutch"},   {L"PL", L"Polish"},     {L"PT", L"Portuguese"},
    {L"SE", L"Swedish"}, {L"UK", L"English(UK)"}, {L"US", L"English(US)"},
};

constexpr const wchar_t* kQuickLinks[] = {
    L"IDS_WHATISTSY",          L"IDS_AVOIDINGILLEGAL",   L"IDS_HOWTSYWORKS",
    L"IDS_FINDINGANDREMOVINGSOFTWARE", L"IDS_FINDINGANDREMOVINGILLEGALMUSIC", L"IDS_FINDINGFILESINOTHER",
    L"IDS_USETSYINCONFIDENCE", L"IDS_HOWTOGETMUSICLEGALLY",
};

class LanguageResource : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadWholeFile(SourcePath("resources/LanguageResource.xml"));
    ASSERT_TRUE(bytes_) << "resources/LanguageResource.xml is missing";
    test::LogCapture log;
    LoadLanguageXMLData(table_, Utf16LeDocument(*bytes_));
    reports_ = log.Lines();
  }

  std::optional<std::string> bytes_;
  StringTable table_;
  std::vector<std::wstring> reports_;
};

TEST_F(LanguageResource, IsUtf16WithByteOrderMarkAndProlog) {
  ASSERT_GE(bytes_->size(), 2u);
  EXPECT_EQ(bytes_->substr(0, 2), std::string("\xFF\xFE"));
  EXPECT_EQ(table_.document.Document().substr(0, 6), L"\uFEFF<?xml");
  EXPECT_TRUE(table_.document.HasElement()) << std::string(table_.document.Error().begin(), table_.document.Error().end());
  for (const std::wstring& line : reports_) {
    EXPECT_EQ(line.find(L"(ERROR"), std::wstring::npos) << std::string(line.begin(), line.end());
  }
}

TEST_F(LanguageResource, ListsTheElevenLanguagesInOrder) {
  std::vector<std::wstring> got, want;
  for (const MvListEntry& e : table_.languages) {
    auto* language = static_cast<LanguageRecord*>(e.value);
    got.push_back(language->code + L"=" + language->name);
  }
  for (const Language& language : kLanguages) want.push_back(std::wstring(language.code) + L"=" + language.name);
  EXPECT_EQ(got, want);
}

TEST_F(LanguageResource, EveryIdHasATextInEveryLanguage) {
  // Count the String elements of Resource as the document holds them.
  MvZXml& xml = table_.document;
  xml.ResetCursor();
  ASSERT_TRUE(xml.FindElement(L"MorvaneSoftware") && xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"Tessaly") && xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"Resource") && xml.EnterElement());
  size_t elements = 0;
  while (xml.FindElement(L"String")) ++elements;
  xml.ResetCursor();
  EXPECT_EQ(elements, 2057u);
  EXPECT_EQ(table_.strings.count, 2057u);
  ASSERT_EQ(LanguageResourceIds().size(), 187u);

  for (const Language& language : kLanguages) {
    ASSERT_EQ(SelectLanguage(table_, language.name), 1);
    for (std::wstring_view id : LanguageResourceIds()) {
      const std::wstring key = std::wstring(language.code) + L"-" + std::wstring(id);
      const wchar_t* text = table_.FindString(key);
      ASSERT_NE(text, nullptr) << std::string(key.begin(), key.end()) << " is missing";
      std::wstring value(text);
      EXPECT_NE(value, kMissingXmlValue) << std::string(key.begin(), key.end()) << " is empty";
      EXPECT_NE(value.find_first_not_of(L" \r\n\t"), std::wstring::npos) << std::string(key.begin(), key.end());
    }
  }
  EXPECT_FALSE(table_.modified);
}

TEST_F(LanguageResource, EnglishTextsQuotedByTheProgram) {
  struct {
    const wchar_t* id;
    const wchar_t* want;
  } cases[] = {
      {L"IDS_PROGRAMTITLE", L"Tessaly"},
      {L"IDS_READY", L"Ready"},
      {L"IDS_SCANNING", L"Scanning"},
      {L"IDS_FILE_S_FOUND", L"File(s) found"},
      {L"IDS_BYTES", L"Bytes"},
      {L"IDS_KB", L"KB"},
      {L"IDS_MB", L"MB"},
      {L"IDS_GB", L"GB"},
      {L"IDS_TB", L"TB"},
      {L"IDS_ALLLOCALDRIVES", L"All local drives"},
      {L"IDS_BROWSE", L"Browse..."},
      {L"IDS_HASBEENIDENTIFIEDAS", L"has been identified as"},
      {L"IDS_AFILESHARINGSOFTWARE", L"a file-sharing software application"},
      {L"IDS_HELP_CHMFILENAME", L".\\UK_Help.chm::/introduction.htm"},
      {L"IDS_FAQS_CHMFILENAME", L".\\UK_HELP.chm::/FAQ.htm"},
      {L"IDS_UNINSTALLINGFILESHARINGSOFTWARE", L"Uninstalling File-Sharing software"},
      {L"IDS_FINISH", L"Finish"},
  };
  ASSERT_EQ(SelectLanguage(table_, L"English(UK)"), 1);
  for (const auto& c : cases) {
    EXPECT_STREQ(GetString(false, c.id, table_), c.want) << std::wstring(c.id).size();
  }
  ASSERT_EQ(SelectLanguage(table_, L"English(US)"), 1);
  EXPECT_STREQ(GetString(false, L"IDS_PROGRAMTITLE", table_), L"Tessaly");
}

TEST_F(LanguageResource, WelcomeTextHeadingsAreTheQuickLinks) {
  for (const Language& language : kLanguages) {
    ASSERT_EQ(SelectLanguage(table_, language.name), 1);
    std::wstring rtf = GetString(false, L"IDS_WELCOME_RTFILETEXT", table_);
    const std::string where = std::string(language.code, language.code + 2);
    EXPECT_EQ(rtf.rfind(L"{\\rtf", 0), 0u) << where;
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](wchar_t c) { return c < 0x80; }))
        << where << ": the welcome text is not plain ASCII RTF";
    const std::wstring plain = RtfPlainText(rtf);
    for (const wchar_t* link : kQuickLinks) {
      std::wstring heading = GetString(false, link, table_);
      EXPECT_NE(plain.find(heading), std::wstring::npos)
          << where << ": no heading for " << std::string(link, link + std::wcslen(link));
    }
  }
}

TEST_F(LanguageResource, LicenceIsRtfKeptAsItStands) {
  MvZXml& xml = table_.document;
  size_t licences = 0;
  xml.ResetCursor();
  ASSERT_TRUE(xml.FindElement(L"MorvaneSoftware") && xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"Tessaly") && xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"Resource") && xml.EnterElement());
  while (xml.FindElement(L"String")) {
    if (xml.AttributeValue(L"SID") != L"IDS_LICENSE_RTFDATA") continue;
    ++licences;
    const std::wstring lang = xml.AttributeValue(L"Lang");
    EXPECT_NE(xml.AttributeValue(L"Options").find(L"NoCrLfConvert"), std::wstring::npos)
        << std::string(lang.begin(), lang.end());
    std::wstring text = xml.ElementText();
    EXPECT_EQ(text.rfind(L"{\\rtf", 0), 0u) << std::string(lang.begin(), lang.end());
    EXPECT_EQ(text.back(), L'}') << std::string(lang.begin(), lang.end());
  }
  xml.ResetCursor();
  EXPECT_EQ(licences, 11u);
}

// ---- the configuration file ------------------------------------------------------------------

// The finders a shared-folder mapping may name.
const std::set<std::wstring> kFinders = {
    L"FindKazaa_3_0",  L"Grokster_2_6",       L"FindImesh",        L"FindImesh5",
    L"FindManolito",   L"FindBlubster",       L"FindGnucleus",     L"FindDCPlusPlus_0_4_0_3_4",
    L"FindStrongDC",   L"FindBearShare",      L"FindShareaza",     L"FindEmule",
    L"FindOneMX",      L"FindFileSharePro",   L"FindEdonkey2000",  L"FindWarez",
    L"FindAres",       L"FindMorpheus",       L"FindPiolet",       L"FindRockItNet",
    L"FindLordOfSearch", L"FindDCPro",        L"FindXolox",        L"FindTrustyfiles",
    L"FindSoulseek",   L"FindSoulseek155222", L"FindLimewire",
};

class ConfigurationFile : public ::testing::Test {
 protected:
  void SetUp() override {
    test::LogCapture log;
    LoadConfigurationFile(SourcePath("resources/ConfigurationFile.xml"), table_);
    for (const std::wstring& line : log.Lines()) {
      EXPECT_EQ(line.find(L"(ERROR"), std::wstring::npos) << std::string(line.begin(), line.end());
    }
  }
  std::wstring Value(const wchar_t* key) { return GetString(true, key, table_); }

  // name=value lines as the mapping readers take them: blanks before the name skipped, a line
  // used only when at least two characters follow "=".
  std::vector<std::pair<std::wstring, std::wstring>> Mappings(const wchar_t* key) {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    for (const std::wstring& raw : Split(Value(key), L"\r\n")) {
      size_t start = raw.find_first_not_of(L" \t");
      if (start == std::wstring::npos) continue;
      size_t equals = raw.find(L'=', start);
      if (equals == std::wstring::npos || raw.size() - equals - 1 < 2) {
        ADD_FAILURE() << "unusable mapping line: " << std::string(raw.begin(), raw.end());
        continue;
      }
      out.emplace_back(raw.substr(start, equals - start), raw.substr(equals + 1));
    }
    return out;
  }

  StringTable table_;
};

TEST_F(ConfigurationFile, HasEveryKey) {
  for (const wchar_t* key :
       {L"SETTINGS_UPDATEURL", L"SETTINGS_MUSICFILETYPES", L"SETTINGS_VIDEOFILETYPES", L"SETTINGS_IMAGEFILETYPES",
        L"SETTINGS_MINMUSICFILESIZE", L"SETTINGS_MAXMUSICFILESIZE", L"SETTINGS_MINVIDEOFILESIZE",
        L"SETTINGS_MAXVIDEOFILESIZE", L"SETTINGS_SHAREDFOLDERMAPPINGS", L"SETTINGS_UNINSTALLERMAPPINGS"}) {
    std::wstring value = Value(key);
    EXPECT_TRUE(value != kStringNotFound && value != kMissingXmlValue && !value.empty())
        << std::string(key, key + std::wcslen(key));
  }
  EXPECT_EQ(table_.languages.count, 0u);  // read with the pseudo-language "Neutral" only
}

TEST_F(ConfigurationFile, ExtensionLists) {
  struct {
    const wchar_t* key;
    std::vector<std::wstring> required;
  } cases[] = {
      {L"SETTINGS_MUSICFILETYPES", {L".mp3", L".wma", L".ogg", L".oga", L".opus", L".wav", L".flac", L".aac",
                                    L".m4a", L".ape", L".mpc", L".wv", L".mid"}},
      {L"SETTINGS_VIDEOFILETYPES", {L".avi", L".mpg", L".mpeg", L".wmv", L".asf", L".mkv", L".webm", L".mp4",
                                    L".m4v", L".mov", L".divx", L".xvid", L".rm", L".rmvb", L".vob", L".flv",
                                    L".3gp"}},
      {L"SETTINGS_IMAGEFILETYPES", {L".jpg", L".jpeg", L".png", L".gif", L".bmp", L".tif", L".tiff", L".webp",
                                    L".heic"}},
  };
  std::set<std::wstring> seen;
  for (const auto& c : cases) {
    const std::string key(c.key, c.key + std::wcslen(c.key));
    std::wstring value = Value(c.key);
    EXPECT_EQ(value.find_first_of(L" \t\r\n"), std::wstring::npos) << key << ": blanks inside the list";
    std::vector<std::wstring> tokens = Split(value, L";");
    for (const std::wstring& token : tokens) {
      EXPECT_TRUE(token.size() >= 2 && token[0] == L'.' && token.find(L'.', 1) == std::wstring::npos)
          << key << ": " << std::string(token.begin(), token.end());
      EXPECT_TRUE(std::none_of(token.begin(), token.end(), [](wchar_t ch) { return std::iswupper(ch); }))
          << key << ": " << std::string(token.begin(), token.end());
      EXPECT_TRUE(seen.insert(token).second) << key << ": listed twice: " << std::string(token.begin(), token.end());
    }
    for (const std::wstring& want : c.required) {
      EXPECT_NE(std::find(tokens.begin(), tokens.end(), want), tokens.end())
          << key << " lacks " << std::string(want.begin(), want.end());
    }
  }
}

TEST_F(ConfigurationFile, SizeLimitsSeparateRingTonesAndThumbnailsFromSongsAndFilms) {
  auto limit = [&](const wchar_t* key) {
    std::wstring value = Value(key);
    EXPECT_FALSE(value.empty());
    EXPECT_TRUE(std::all_of(value.begin(), value.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        << std::string(value.begin(), value.end());
    return static_cast<double>(std::stoll(value)) * 1048576.0;  // MiB
  };
  const double minMusic = limit(L"SETTINGS_MINMUSICFILESIZE"), maxMusic = limit(L"SETTINGS_MAXMUSICFILESIZE");
  const double minVideo = limit(L"SETTINGS_MINVIDEOFILESIZE"), maxVideo = limit(L"SETTINGS_MAXVIDEOFILESIZE");
  struct {
    const char* name;
    double bytes;
    bool music;  // true: judged against the music limits, else the video limits
    bool reported;
  } cases[] = {
      {"30 s ring tone, 256 kbit/s", 30 * 256000 / 8.0, true, false},
      {"40 s ring tone, 192 kbit/s", 40 * 192000 / 8.0, true, false},
      {"2 min song, 96 kbit/s", 120 * 96000 / 8.0, true, true},
      {"4 min song, 320 kbit/s", 240 * 320000 / 8.0, true, true},
      {"album as one lossless file", 450.0 * 1048576, true, true},
      {"CD image as WAV", 800.0 * 1048576, true, true},
      {"video thumbnail", 180.0 * 1024, false, false},
      {"5 s animated preview", 600.0 * 1024, false, false},
      {"1 min phone clip", 12.0 * 1048576, false, true},
      {"music video", 60.0 * 1048576, false, true},
      {"DVD film", 4.7e9, false, true},
      {"HD film", 25e9, false, true},
  };
  for (const auto& c : cases) {
    bool reported = c.music ? c.bytes > minMusic && c.bytes < maxMusic : c.bytes > minVideo && c.bytes < maxVideo;
    EXPECT_EQ(reported, c.reported) << c.name;
  }
}

TEST_F(ConfigurationFile, SharedFolderMappingsReachEveryFinder) {
  std::set<std::wstring> reached, clients;
  for (const auto& [client, finder] : Mappings(L"SETTINGS_SHAREDFOLDERMAPPINGS")) {
    const std::string line(client.begin(), client.end());
    EXPECT_TRUE(kFinders.count(finder)) << line << " maps to an unknown finder";
    EXPECT_TRUE(clients.insert(client).second) << line << " is mapped twice";
    EXPECT_FALSE(!client.empty() && (client.back() == L' ' || client.back() == L'\t')) << line << ": trailing blank";
    EXPECT_FALSE(!finder.empty() && (finder.back() == L' ' || finder.back() == L'\t')) << line << ": trailing blank";
    reached.insert(finder);
  }
  for (const std::wstring& finder : kFinders) {
    EXPECT_TRUE(reached.count(finder)) << std::string(finder.begin(), finder.end()) << " is not reachable";
  }
}

TEST_F(ConfigurationFile, UninstallerMappingsCoverEveryClientInTheFourForms) {
  std::set<std::wstring> clients;
  for (const auto& [client, finder] : Mappings(L"SETTINGS_SHAREDFOLDERMAPPINGS")) clients.insert(client);
  std::set<std::wstring> uninstallable;
  std::map<std::string, int> forms;
  for (const auto& [client, key] : Mappings(L"SETTINGS_UNINSTALLERMAPPINGS")) {
    const std::string line(client.begin(), client.end());
    EXPECT_TRUE(uninstallable.insert(client).second) << line << " is listed twice";
    EXPECT_TRUE(clients.count(client)) << line << " has no shared-folder mapping";
    EXPECT_FALSE(key.back() == L' ' || key.back() == L'\t') << line << ": trailing blank";
    if (key.find(L'@') != std::wstring::npos) {
      ++forms["registry"];
      EXPECT_EQ(key[0], L'@') << line;
    } else if (key.find(L'?') != std::wstring::npos) {
      ++forms["registry, second form"];
      EXPECT_EQ(key[0], L'?') << line;
    } else if (key.find(L'|') != std::wstring::npos) {
      ++forms["alternatives"];
      EXPECT_EQ(key.back(), L'|') << line << ": the last candidate would never be tried";
      for (const std::wstring& candidate : Split(key, L"|")) {
        EXPECT_NE(candidate.find(L".exe"), std::wstring::npos) << line;
      }
    } else {
      ++forms["file"];
      EXPECT_NE(key.find(L".exe"), std::wstring::npos) << line;
    }
  }
  EXPECT_EQ(uninstallable, clients);
  EXPECT_EQ(forms.size(), 4u);
}

TEST_F(ConfigurationFile, UpdateAddressIsOnTheLoopbackInterface) {
  std::wstring url = Value(L"SETTINGS_UPDATEURL");
  EXPECT_TRUE(url.rfind(L"http://127.0.0.1", 0) == 0 || url.rfind(L"http://localhost", 0) == 0)
      << std::string(url.begin(), url.end());
  EXPECT_EQ(url.find_first_of(L" \t\r\n?"), std::wstring::npos);  // the check adds its own query
}

}  // namespace
}  // namespace tessaly
