// Every finder against a small fixture of its client's format, with the exact result text.
#include "LogCapture.h"
#include "P2pText.h"
#include "P2pFinders.h"
#include "P2pTestSupport.h"
#include "Paths.h"
#include "SettingsStore.h"
#include "SharedFolderMappings.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tessaly {
namespace {
namespace fs = std::filesystem;
using test::U16;
using test::U32;
using test::Utf16;

enum Base { kProgram, kHome, kAppData };

struct FixtureFile {
  Base base;
  const char* relative;  // with "/"
  std::string content;
};

struct RegistryText {
  std::wstring key;
  const wchar_t* name;
  std::wstring text;
};

std::string Bom(const std::wstring& text) { return "\xFF\xFE" + Utf16(text); }

void SetText(MemorySettingsStore& settings, const std::wstring& key, const std::wstring& name, const std::wstring& text) {
  SettingsValue value;
  value.text = text;
  settings.Set(SettingsRoot::CurrentUser, key, name, value);
}

// BearShare library.dat: three words, then length-prefixed UTF-16 folders while the running total
// (length + 5 per record) stays below h2 - h1.
std::string LibraryDat(const std::vector<std::wstring>& folders, uint32_t limit) {
  std::string bytes = U32(7) + U32(100) + U32(100 + limit);
  for (const auto& folder : folders) bytes += U32(static_cast<uint32_t>(folder.size() * 2)) + Utf16(folder);
  return bytes;
}

// A content-directory database: each path has its length six bytes before it.
std::string ContentDb(const std::vector<std::string>& paths) {
  std::string bytes = "SHAREAZA";
  for (const auto& path : paths) {
    bytes += static_cast<char>(path.size());
    bytes += std::string(5, '\x01');
    bytes += path;
  }
  return bytes;
}

std::string ShareDat(const std::vector<std::wstring>& folders) {
  std::string bytes;
  for (const auto& folder : folders) bytes += U16(static_cast<uint16_t>(folder.size() * 2)) + Utf16(folder);
  return bytes;
}

std::string SharedCfg(const std::vector<std::string>& paths, uint32_t count) {
  std::string bytes = U32(count);
  for (const auto& path : paths) bytes += U32(static_cast<uint32_t>(path.size())) + path;
  return bytes;
}

struct FinderCase {
  const char* name;
  const wchar_t* finder;
  std::vector<FixtureFile> files;
  std::vector<RegistryText> registry;
  std::wstring want;  // "{dir}" stands for the program folder
  std::vector<const char*> folders = {};
};

std::vector<FinderCase> Cases() {
  const std::wstring kazaa = L"software\\kazaa\\localcontent";
  return {
      {"Kazaa: dir0 after its 7-character prefix, dir1 of 7 characters ignored",
       L"FindKazaa_3_0",
       {},
       {{kazaa, L"dir", L"0123456C:\\Too Short Name\\"},
        {kazaa, L"dir0", L"012345:C:\\My Music\\"},
        {kazaa, L"dir1", L"012345:"},
        {kazaa, L"DownloadDir", L"C:\\Downloads"}},
       L"C:\\My Music;C:\\Downloads;;C:\\Program Files\\Kazaa\\My Shared Folder"},
      {"Kazaa with no key still names its own folder",
       L"FindKazaa_3_0", {}, {}, L";C:\\Program Files\\Kazaa\\My Shared Folder"},
      {"Grokster: only dir names; a value longer than the client's buffer is not used",
       L"Grokster_2_6",
       {},
       {{L"software\\grokster\\localcontent", L"dir0", L"abcdefgD:\\Share\\"},
        {L"software\\grokster\\localcontent", L"dir1", L"abcdefgE:\\" + std::wstring(130, L'x')},
        {L"software\\grokster\\localcontent", L"rid0", L"abcdefgF:\\Also"}},
       L"D:\\Share;"},
      {"iMesh", L"FindImesh", {},
       {{L"software\\imesh\\client\\localcontent", L"DIR5", L"1234567E:\\iMesh"}}, L"E:\\iMesh;"},
      {"iMesh 5 reads two keys", L"FindImesh5", {},
       {{L"software\\imesh\\imesh5\\client\\localcontent", L"dir0", L"1234567F:\\Five\\"},
        {L"software\\imesh\\general", L"DownloadDir", L"G:\\General"}},
       L"F:\\Five;;G:\\General;;"},
      {"Manolito", L"FindManolito",
       {{kProgram, "Settings.ini",
         "[Settings]\r\nFolder0=C:\\Share\r\nfolder01=C:\\Two\r\nFolder1=C:\\No\r\nFolder0=\r\n"
         "DownloadFolder=C:\\Incoming\r\ndownloadfolder=C:\\CaseMatters\r\n"}},
       {}, L"C:\\Share;C:\\Two;C:\\Incoming;"},
      {"Blubster shares Manolito's reader", L"FindBlubster",
       {{kProgram, "Settings.ini", "Folder0=D:\\Blub\n"}}, {}, L"D:\\Blub;"},
      {"Gnucleus: Dir0", L"FindGnucleus",
       {{kProgram, "GnuConfig.ini", "[Local]\r\nDir0=C:\\Downloads\r\n"}}, {}, L"C:\\Downloads;"},
      {"Gnucleus: only Dir then 0", L"FindGnucleus",
       {{kProgram, "GnuConfig.ini", "dir01=C:\\A\nDir1=C:\\B\nDir0=\nDirectory0=C:\\C\n"}}, {}, L"C:\\A;"},
      {"DC++ (ANSI)", L"FindDCPlusPlus_0_4_0_3_4",
       {{kProgram, "dcplusplus.xml",
         "<DCPlusPlus><Settings><DownloadDirectory type=\"string\">C:\\DC\\Downloads\\</DownloadDirectory>"
         "<TempDownloadDirectory type=\"string\">C:\\DC\\Temp\\</TempDownloadDirectory></Settings>"
         "<Share><Directory Virtual=\"Music\">C:\\Music\\</Directory></Share></DCPlusPlus>"}},
       {}, L"C:\\DC\\Downloads\\;C:\\Music\\;C:\\DC\\Temp\\;"},
      {"DC++ (UTF-16)", L"FindDCPlusPlus_0_4_0_3_4",
       {{kProgram, "dcplusplus.xml", Bom(L"<Share><Directory>D:\\Films\\</Directory></Share>")}}, {},
       L"D:\\Films\\;"},
      {"StrongDC: the directories inside <Share>", L"FindStrongDC",
       {{kProgram, "settings/dcplusplus.xml",
         "<DCPlusPlus>\r\n<Directory>C:\\NotShared\\</Directory>\r\n<Share>\r\n"
         "  <Directory Virtual=\"Music\">C:\\Music\\</Directory>\r\n"
         "  <Directory Virtual=\"X\">D:\\Films</Directory>\r\n</Share>\r\n"
         "<Directory>C:\\After\\</Directory>\r\n"}},
       {}, L"c:\\music;d:\\films;"},
      {"BearShare: library.dat", L"FindBearShare",
       {{kProgram, "db/library.dat",
         LibraryDat({L"C:\\Bear\\", L"D:\\Two", L"E:\\NotRead"}, (8 * 2 + 5) + (6 * 2 + 5))}},
       {}, L"C:\\Bear;D:\\Two;"},
      {"BearShare: library.db when library.dat is absent", L"FindBearShare",
       {{kProgram, "db/library.db", ContentDb({"C:\\Bear Db"})},
        {kAppData, "BearShare/Data/DataBase/DataDir/ContentDirs.db", ContentDb({"Z:\\NotThis"})}},
       {}, L"C:\\Bear Db;"},
      {"BearShare: the profile's content directories last", L"FindBearShare",
       {{kAppData, "BearShare/Data/DataBase/DataDir/ContentDirs.db", ContentDb({"D:\\Profile"})}}, {},
       L"D:\\Profile;"},
      {"Shareaza: plain and CDATA paths", L"FindShareaza",
       {{kProgram, "db/library.db", ContentDb({"C:\\Share\\Music"}) + "<![CDATA[D:\\Shared]]></x>" +
                                        std::string(64, ' ')}},
       {}, L"C:\\Share\\Music;D:\\Shared\\;"},
      {"eMule: UTF-16 line list", L"FindEmule",
       {{kProgram, "config/shareddir.dat", Bom(L"C:\\Shared\r\nD:\\Films\\\r\n\r\n")}}, {},
       L"C:\\Shared;D:\\Films\\;"},
      {"OneMX: LF lines", L"FindOneMX", {{kProgram, "shareddir.dat", "C:\\One\nC:\\Two\n"}}, {},
       L"C:\\One;C:\\Two;"},
      {"FileShare Pro", L"FindFileSharePro", {{kProgram, "dir.cfg", "E:\\Pro\r\n"}}, {}, L"E:\\Pro;"},
      {"eDonkey2000", L"FindEdonkey2000",
       {{kProgram, "share.dat", ShareDat({L"C:\\Ed", L"D:\\Donkey"}) + U16(400) + "cut"}}, {},
       L";C:\\Ed;D:\\Donkey"},
      {"eDonkey2000 without share.dat", L"FindEdonkey2000", {}, {}, L"{FindEdonkey2000 failed to open file}"},
      {"Warez: the list and its own shared folder", L"FindWarez",
       {{kProgram, "data/shared folders.txt", "C:\\Warez\r\n"}}, {}, L"C:\\Warez;;{dir}My Shared Folder",
       {"My Shared Folder"}},
      {"Ares: two lists and the hexadecimal download folder", L"FindAres",
       {{kProgram, "data/shared folders.txt", "C:\\Ares\r\n"},
        {kHome, "Local Settings/Application Data/Ares/data/shared folders.txt", "D:\\Local\n"}},
       {{L"Software\\Ares", L"Download.Folder", L"453a5C446f776E"}}, L"C:\\Ares;;D:\\Local;;E:\\Down;"},
      {"Morpheus", L"FindMorpheus",
       {{kProgram, "MorphConfig.ini",
         "[Paths]\r\ndownloadpath=C:\\Morph\r\nReplyFilePath=D:\\Reply\rDownloadPath=C:\\\r\n"}},
       {}, L"C:\\Morph;D:\\Reply;"},
      {"Piolet: section keys, General for leading parts of Folder, then the line scan", L"FindPiolet",
       {{kProgram, "settings.ini",
         "[General]\r\nFolder=C:\\General\\\r\nFold=C:\\Short\r\n[SharedFolders]\r\nFolder1=C:\\Piolet\\One\\\r\n"
         "Folder=ignored\r\nFold=x\r\nOther=D:\\Other\r\nDownloadFolder=C:\\Down\r\n"}},
       {}, L"c:\\piolet\\one;c:\\general;c:\\short;d:\\other;c:\\down;C:\\Piolet\\One\\;C:\\Down;"},
      {"RockItNet", L"FindRockItNet",
       {{kProgram, "Settings.ini",
         "[SharedFolders]\r\nFolder=C:\\Skip\r\nFold=C:\\Skip\r\nFolder0=C:\\Rock\\\r\nPath=\"D:\\Quoted\\\"\r\n"}},
       {}, L"c:\\rock;d:\\quoted;"},
      {"Lord of Search", L"FindLordOfSearch",
       {{kProgram, "dcpro.config", "[Share]\r\nDir=C:\\Skip\r\nDir1=C:\\Lord\\, recursive\r\nDir2=D:\\Flat\\\r\n"}},
       {}, L"c:\\lord;d:\\flat;"},
      {"DC Pro", L"FindDCPro",
       {{kProgram, "dcpro.config", "[Shared Folders]\r\nF=C:\\Skip\r\nF1=C:\\Pro\r\nFolder=C:\\X\r\n"}}, {},
       L"c:\\pro;c:\\x;"},
      {"Xolox", L"FindXolox",
       {{kProgram, "XoloxConfig.ini", "[Share]\r\nDir0=C:\\Xolox, RECURSIVE\r\n"}}, {}, L"c:\\xolox;"},
      {"TrustyFiles: section and MyFolders.dat", L"FindTrustyfiles",
       {{kProgram, "TrustyFiles.ini", "[Shares]\r\nFolder1=C:\\Trusty, folders\r\n"},
        {kProgram, "data/MyFolders.dat", "Item1=D:\\My, Recursive\r\nitem2=E:\\Two\r\nItem=short1\r\n"}},
       {}, L"c:\\trusty;D:\\My;E:\\Two;"},
      {"Soulseek: a record of 260 bytes ends the list", L"FindSoulseek",
       {{kProgram, "shared.cfg",
         SharedCfg({"C:\\Soul\\", "D:\\Seek", std::string(260, 'x'), "E:\\Never"}, 4)}},
       {}, L"C:\\Soul;D:\\Seek;"},
      {"Soulseek: a count of four billion stops at the end", L"FindSoulseek",
       {{kProgram, "shared.cfg", SharedCfg({"C:\\Soul"}, 0xFFFFFFFFu)}}, {}, L"C:\\Soul;"},
      {"Soulseek 155222: from offset 10", L"FindSoulseek155222",
       {{kProgram, "shared.cfg", std::string(10, '\x07') + SharedCfg({"D:\\New\\"}, 1)}}, {}, L"D:\\New;"},
      {"Soulseek 155222: TrustyFiles.ini first", L"FindSoulseek155222",
       {{kProgram, "TrustyFiles.ini", std::string(10, '\0') + SharedCfg({"E:\\Trusty"}, 1)},
        {kProgram, "shared.cfg", std::string(10, '\0') + SharedCfg({"D:\\New"}, 1)}},
       {}, L"E:\\Trusty;"},
      {"LimeWire: escaped lists", L"FindLimewire",
       {{kHome, ".limewire/limewire.props",
         "#LimeWire properties\nDIRECTORIES_TO_SEARCH_FOR_FILES=C\\:\\\\Shared;D\\:\\\\Music\n"
         "directory_for_saving_files = C\\:\\\\Program Files\\\\LimeWire\\\\Saved\\\\\r\n"
         "OTHER=C\\:\\\\No\n"}},
       {}, L"C:\\Shared;D:\\Music;C:\\Program Files\\LimeWire\\Saved\\;"},
      {"LimeWire: short items and unescaped long ones", L"FindLimewire",
       {{kAppData, "Limewire/limewire.props", "DIRECTORIES_TO_SEARCH_FOR_FILES=a\\\\b;C:\\Plain\\Path;;E\\:\\\\X\n"}},
       {}, L"a\\b;E:\\X;"},
      {"LimeWire: no file", L"FindLimewire", {}, {}, L"{LimeWire Failed: 1}"},
      {"LimeWire: more than 1 MiB", L"FindLimewire",
       {{kHome, ".limewire/limewire.props", std::string((1 << 20) + 1, '#')}}, {}, L"{LimeWire Failed: 2}"},
  };
}

class FinderTest : public ::testing::Test {
 protected:
  std::wstring Folder(const fs::path& path) const { return path.wstring() + std::wstring(1, kPathSeparator); }

  test::TempTree tree_;
};

TEST_F(FinderTest, EveryFinderReadsItsClientsFormat) {
  std::vector<std::wstring> covered;
  for (const auto& c : Cases()) {
    test::TempTree tree;
    const fs::path program = tree.AddFolder("prog");
    const fs::path home = tree.AddFolder("home");
    const fs::path appData = tree.AddFolder("appdata");
    MemoryEnvironment environment;
    environment.Set(L"USERPROFILE", home.wstring());
    environment.Set(L"APPDATA", appData.wstring());
    environment.Set(L"PROGRAMFILES", L"C:\\Program Files");
    MemorySettingsStore settings;
    for (const auto& file : c.files) {
      const fs::path base = file.base == kProgram ? program : file.base == kHome ? home : appData;
      tree.AddFile(fs::relative(base, tree.root()) / fs::path(file.relative), file.content);
    }
    for (const char* folder : c.folders) tree.AddFolder(fs::path("prog") / folder);
    for (const auto& value : c.registry) SetText(settings, value.key, value.name, value.text);

    const FinderEntry* entry = nullptr;
    for (const auto& candidate : FinderTable()) {
      if (std::wstring(candidate.name) == c.finder) entry = &candidate;
    }
    ASSERT_NE(entry, nullptr) << c.name;
    std::wstring want = c.want;
    if (size_t at = want.find(L"{dir}"); at != std::wstring::npos) want.replace(at, 5, Folder(program));
    EXPECT_EQ(entry->function(FinderContext{&settings, &environment}, Folder(program), L"client.exe"), want) << c.name;
    covered.push_back(c.finder);
  }
  for (const auto& entry : FinderTable()) {
    EXPECT_NE(std::find(covered.begin(), covered.end(), entry.name), covered.end()) << "no case for " << entry.name;
  }
}

TEST_F(FinderTest, RegistryValuesOfOtherTypesOrShortNamesAreNotFolders) {
  MemorySettingsStore settings;
  SettingsValue number;
  number.type = SettingsType::Dword;
  number.number = 5;
  settings.Set(SettingsRoot::CurrentUser, L"software\\kazaa\\localcontent", L"dir2", number);
  SetText(settings, L"software\\kazaa\\localcontent", L"dir3", L"1234567X:\\Real");
  SetText(settings, L"software\\kazaa\\localcontent", L"dir", L"1234567Y:\\ThreeLetters");
  EXPECT_EQ(ReadLocalContent(FinderContext{&settings}, L"software\\kazaa\\localcontent"), L"X:\\Real;");
}

TEST_F(FinderTest, TheLineListReadsUtf16AndAnsiAndSplitsOnTheLineEndItFinds) {
  struct {
    const char* name;
    std::string content;
    std::wstring want;
  } cases[] = {
      {"CRLF", "C:\\a\r\nC:\\b\r\n", L"C:\\a;C:\\b;"},
      {"LF only", "C:\\a\nC:\\b", L"C:\\a;C:\\b;"},
      {"CRLF wins over a lone LF", "C:\\a\r\nC:\\b\nC:\\c\r\n", L"C:\\a;C:\\b\nC:\\c;"},
      {"UTF-16 with BOM", Bom(L"C:\\M\x00FCsik\r\n"), L"C:\\M\x00FCsik;"},
      {"ANSI Latin-1", "C:\\M\xFCsik\n", L"C:\\M\x00FCsik;"},
      {"empty", "", L""},
  };
  for (const auto& c : cases) {
    test::LogCapture log;
    const fs::path path = tree_.AddFile(std::string("list-") + c.name, c.content);
    EXPECT_EQ(ReadLineList(path.wstring()), c.want) << c.name;
    EXPECT_EQ(log.Count(L"Found SharedSettingsFileName: " + path.wstring() + L"\r\n"), 1u) << c.name;
    EXPECT_EQ(log.Count(L"Found SharedSettings value: " + c.want + L"\r\n"), 1u) << c.name;
  }
  EXPECT_EQ(ReadLineList((tree_.root() / "missing.dat").wstring()), L"");
}

// --- Mappings and FindSharedFolders -------------------------------------------------------------

TEST(MappingText, LinesNeedTwoCharactersAfterTheEqualsSign) {
  const std::wstring text =
      L"  Kazaa 3.0=FindKazaa_3_0\r\n"
      L"\tLimeWire =FindLimewire\n"
      L"\n\r\n"
      L"Short=X\r"
      L"NoEquals\n"
      L"Two=ab\n"
      L"Kazaa 3.0=FindImesh\n"
      L"a=b=c";
  const std::vector<std::pair<std::wstring, std::wstring>> want = {
      {L"Kazaa 3.0", L"FindKazaa_3_0"}, {L"LimeWire ", L"FindLimewire"}, {L"Two", L"ab"},
      {L"Kazaa 3.0", L"FindImesh"},     {L"a", L"b=c"}};
  EXPECT_EQ(ParseMappingText(text), want);

  SharedFolderMappings mappings(text, L"Kazaa 3.0=C:\\uninstall.exe /S");
  ASSERT_NE(mappings.FinderNameFor(L"Kazaa 3.0"), nullptr);
  EXPECT_STREQ(mappings.FinderNameFor(L"Kazaa 3.0"), L"FindKazaa_3_0");  // the first line wins
  EXPECT_EQ(mappings.FinderNameFor(L"kazaa 3.0"), nullptr);              // names match exactly
  EXPECT_EQ(mappings.FinderNameFor(L"LimeWire"), nullptr);               // the blank is part of the name
  EXPECT_EQ(mappings.FinderNameFor(L"Short"), nullptr);
  EXPECT_NE(mappings.FinderNamed(L"findlimewire"), nullptr);             // finder names ignore case
  EXPECT_STREQ(mappings.UninstallTextFor(L"Kazaa 3.0"), L"C:\\uninstall.exe /S");
  EXPECT_EQ(mappings.finders.count, FinderTable().size());
}

TEST(FindSharedFolders, LogsEachStepAndReportsOnlyUsableLists) {
  test::TempTree tree;
  const std::wstring folder = tree.AddFolder("gnu").wstring() + std::wstring(1, kPathSeparator);
  const std::wstring emptyFolder = tree.AddFolder("empty").wstring() + std::wstring(1, kPathSeparator);
  tree.AddFile("gnu/GnuConfig.ini", "Dir0=C:\\Downloads\r\n");
  SharedFolderMappings mappings(L"Gnucleus=FindGnucleus\nGhost=FindNothing\nDonkey=FindEdonkey2000\n");
  struct {
    const char* name;
    std::wstring signature;
    std::wstring folder;
    bool want;
    std::wstring folders;
    std::vector<std::wstring> log;
  } cases[] = {
      {"found", L"Gnucleus", folder, true, L"C:\\Downloads;",
       {L"Searching for P2PName: Gnucleus, Path=" + folder + L"gnucleus.exe\r\n",
        L"Found P2PName: Gnucleus: FindGnucleus\r\n", L"Shared P2P Folder: Gnucleus: C:\\Downloads;\r\n"}},
      {"nothing found", L"Gnucleus", emptyFolder, false, L"",
       {L"Searching for P2PName: Gnucleus, Path=" + emptyFolder + L"gnucleus.exe\r\n",
        L"Found P2PName: Gnucleus: FindGnucleus\r\n", L"Shared P2P Folder Error: Gnucleus: \r\n"}},
      {"failure text", L"Donkey", emptyFolder, false, L"",
       {L"Searching for P2PName: Donkey, Path=" + emptyFolder + L"gnucleus.exe\r\n",
        L"Found P2PName: Donkey: FindEdonkey2000\r\n",
        L"Shared P2P Folder Error: Donkey: {FindEdonkey2000 failed to open file}\r\n"}},
      {"unknown finder fails silently", L"Ghost", folder, false, L"",
       {L"Searching for P2PName: Ghost, Path=" + folder + L"gnucleus.exe\r\n", L"Found P2PName: Ghost: FindNothing\r\n"}},
      {"unmapped program", L"Unknown", folder, false, L"",
       {L"Searching for P2PName: Unknown, Path=" + folder + L"gnucleus.exe\r\n"}},
  };
  for (const auto& c : cases) {
    test::LogCapture log;
    std::wstring folders;
    EXPECT_EQ(FindSharedFolders(mappings, c.signature, c.folder, L"gnucleus.exe", folders), c.want) << c.name;
    EXPECT_EQ(folders, c.folders) << c.name;
    std::vector<std::wstring> lines;
    for (const auto& line : log.Lines()) {
      if (line.find(L"SharedSettings") == std::wstring::npos) lines.push_back(line);
    }
    EXPECT_EQ(lines, c.log) << c.name;
  }
}

}  // namespace
}  // namespace tessaly

namespace tessaly {
namespace {

TEST(ExpandEnvironment, ReplacesKnownNamesAndKeepsTheRest) {
  test::ScopedEnv a(L"TESSALY_TEST_A", L"alpha");
  test::ScopedEnv b(L"TESSALY_TEST_B", L"beta");
  struct {
    const char* name;
    std::wstring input;
    std::wstring want;
  } cases[] = {
      {"one", L"%TESSALY_TEST_A%\\x", L"alpha\\x"},
      {"two in a row", L"%TESSALY_TEST_A%%TESSALY_TEST_B%", L"alphabeta"},
      {"unknown kept", L";%TESSALY_NO_SUCH%\\Kazaa", L";%TESSALY_NO_SUCH%\\Kazaa"},
      {"unknown then known", L"%TESSALY_NO_SUCH%%TESSALY_TEST_B%", L"%TESSALY_NO_SUCH%beta"},
      {"lone percent", L"100% sure", L"100% sure"},
      {"no percent", L"C:\\Plain", L"C:\\Plain"},
  };
  // The process environment (the system's own expansion on Windows) and the tests' stand-in
  // answer alike.
  MemoryEnvironment memory;
  memory.Set(L"TESSALY_TEST_A", L"alpha");
  memory.Set(L"tessaly_test_b", L"beta");  // names ignore case
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandEnvironment(c.input), c.want) << c.name;
    EXPECT_EQ(memory.Expand(c.input), c.want) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
