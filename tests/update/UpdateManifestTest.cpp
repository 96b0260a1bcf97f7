#include "UpdateManifest.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

constexpr int32_t Day(int32_t year, int32_t monthIndex, int32_t day) { return year * 10000 + monthIndex * 100 + day; }

TEST(UpdateManifest, DateValues) {
  struct Case {
    const wchar_t* text;
    int32_t want;
  } cases[] = {
      {L"07-29-2009", Day(2009, 6, 29)},
      {L"07/29/2009", Day(2009, 6, 29)},  // any separators
      {L"Jul 29 2009", Day(2009, 6, 29)},
      {L"jUL 29 2009", Day(2009, 6, 29)},  // month name without regard to case
      {L"Jul  9 2009", Day(2009, 6, 9)},   // compiler form pads the day with a space
      {L"Dec 31 2009", Day(2009, 11, 31)},
      {L"13-01-2009", Day(2009, 12, 1)},   // beyond December of that year
      {L"00-15-2009", 0},                          // month not positive
      {L"ab-15-2009", 0},
      {L"Xyz 29 2009", Day(2009, 0, 29)},           // unknown month name reads as index 0
      {L"7-29-2009", 0},                           // nine characters
      {L"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateValue(c.text), c.want) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(UpdateManifest, TimeValues) {
  struct Case {
    const wchar_t* text;
    int32_t want;
  } cases[] = {
      {L"11:17:39", 11 * 3600 + 17 * 60 + 39},
      {L"00:00:00", 0},
      {L"23:59:59", 86399},
      {L"9:59:59", 0},     // seven characters
      {L"10:00:00 ", 0},   // nine characters
  };
  for (const auto& c : cases) EXPECT_EQ(TimeValue(c.text), c.want) << testing::PrintToString(std::wstring(c.text));
}

TEST(UpdateManifest, NewerThanTheReference) {
  struct Case {
    const char* name;
    const wchar_t* fileDate;
    const wchar_t* fileTime;
    const wchar_t* localDate;
    const wchar_t* localTime;
    bool newer;
  } cases[] = {
      {"compiler date equals mm-dd-yyyy, one second later", L"Jul 29 2009", L"11:17:40", L"07-29-2009", L"11:17:39", true},
      {"compiler date equals mm-dd-yyyy, same time", L"Jul 29 2009", L"11:17:39", L"07-29-2009", L"11:17:39", false},
      {"reference in compiler form, manifest a second later", L"07-29-2009", L"11:17:40", L"Jul 29 2009", L"11:17:39", true},
      {"across the hour", L"07-29-2009", L"10:00:00", L"07-29-2009", L"09:59:59", true},
      {"earlier time same day", L"07-29-2009", L"09:59:58", L"07-29-2009", L"09:59:59", false},
      {"next day, earlier time", L"07-30-2009", L"00:00:00", L"07-29-2009", L"23:59:59", true},
      {"December is earlier than the next January", L"12-31-2008", L"23:59:59", L"01-01-2009", L"00:00:00", false},
      {"November is earlier than the next January", L"11-30-2009", L"12:00:00", L"Jan 01 2010", L"00:00:00", false},
      {"January is later than the last December", L"Jan 02 2010", L"00:00:00", L"12-31-2009", L"23:59:59", true},
      {"month 13 is beyond December", L"13-01-2009", L"00:00:00", L"12-31-2009", L"23:59:59", true},
      {"month 13 is before the next year", L"13-31-2009", L"23:59:59", L"01-01-2010", L"00:00:00", false},
      {"month 00 is never newer", L"00-01-2010", L"23:59:59", L"07-29-2009", L"11:17:39", false},
      {"unreadable reference: any dated file is newer", L"07-29-2009", L"11:17:39", L"", L"", true},
  };
  for (const auto& c : cases) {
    UpdateFile file;
    file.date = c.fileDate;
    file.time = c.fileTime;
    EXPECT_EQ(IsNewerThan(file, c.localDate, c.localTime), c.newer) << c.name;
  }
}

TEST(UpdateManifest, ReadsOnlyFileChildrenOfUpdater) {
  const wchar_t* manifest =
      L"<?xml version=\"1.0\"?>\r\n"
      L"<MorvaneSoftware>\r\n"
      L" <File Date=\"07-29-2010\" FileName=\"outside.txt\">http://h/outside</File>\r\n"
      L" <Tessaly>\r\n"
      L"  <Updater>\r\n"
      L"   <!-- first the program -->\r\n"
      L"   <File Date=\"07-29-2010\" Time=\"12:00:00\" Build=\"1.3.1.171\" FileName=\"Tessaly.exe\" Size=\"1234\""
      L" SHA256=\"AB12\">http://h/a?x=1&amp;y=2</File>\r\n"
      L"   <Note Date=\"07-29-2010\" FileName=\"note.txt\">http://h/note</Note>\r\n"
      L"   <Files Date=\"07-29-2010\" FileName=\"files.txt\">http://h/files</Files>\r\n"
      L"   <File Date=\"Jul 30 2010\" Time=\"01:02:03\" FileName=\"Updater.exe\" Size=\"99999999999\">http://h/u</File>\r\n"
      L"  </Updater>\r\n"
      L" </Tessaly>\r\n"
      L"</MorvaneSoftware>\r\n";
  std::vector<UpdateFile> files = ReadManifestFiles(manifest, L"Tessaly");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].date, L"07-29-2010");
  EXPECT_EQ(files[0].time, L"12:00:00");
  EXPECT_EQ(files[0].build, L"1.3.1.171");
  EXPECT_EQ(files[0].fileName, L"Tessaly.exe");
  EXPECT_EQ(files[0].size, 1234u);
  EXPECT_EQ(files[0].sha256, L"AB12");
  EXPECT_EQ(files[0].url, L"http://h/a?x=1&y=2");
  EXPECT_EQ(files[1].fileName, L"Updater.exe");
  EXPECT_EQ(files[1].size, 0u) << "a size beyond 32 bits is unknown";
  EXPECT_TRUE(files[1].sha256.empty());
}

TEST(UpdateManifest, ManifestsWithoutThePathYieldNothing) {
  const wchar_t* cases[] = {
      L"",
      L"not xml at all",
      L"<MorvaneSoftware><Other><Updater><File FileName=\"a\">u</File></Updater></Other></MorvaneSoftware>",
      L"<MorvaneSoftware><Tessaly><File FileName=\"a\">u</File></Tessaly></MorvaneSoftware>",
      L"<Tessaly><Updater><File FileName=\"a\">u</File></Updater></Tessaly>",
      L"<MorvaneSoftware><Tessaly><Updater><File FileName=\"a\">u</File></Updater></Tessaly>",  // unclosed
  };
  for (const wchar_t* manifest : cases) {
    EXPECT_TRUE(ReadManifestFiles(manifest, L"Tessaly").empty()) << testing::PrintToString(std::wstring(manifest));
  }
}

TEST(UpdateManifest, CheckAddressCarriesVersionAndSystemFamily) {
  EXPECT_EQ(CheckAddress(L"http://127.0.0.1:8080/u.xml", L"1.3.1.170", false),
            L"http://127.0.0.1:8080/u.xml?PV=1.3.1.170&NT=TRUE");
  EXPECT_EQ(CheckAddress(L"http://h/u.xml", L"1.3.1.170", true), L"http://h/u.xml?PV=1.3.1.170&NT=FALSE");
  EXPECT_EQ(CheckAddress(L"http://h/u.xml", L"", false), L"http://h/u.xml?PV=&NT=TRUE");
}

TEST(UpdateManifest, FileNamesThatStayInsideTheDownloadFolder) {
  struct Case {
    const wchar_t* name;
    bool safe;
  } cases[] = {
      {L"Tessaly.exe", true},
      {L"LanguageFile.xml", true},
      {L"a..b.txt", true},
      {L"com10.txt", true},
      {L"console.txt", true},
      {L"", false},
      {L".", false},
      {L"..", false},
      {L"..\\Tessaly.exe", false},
      {L"../Tessaly.exe", false},
      {L"sub\\file.txt", false},
      {L"C:evil.exe", false},
      {L"C:\\Windows\\evil.exe", false},
      {L"\\\\server\\share\\x", false},
      {L"Tessaly.exe:stream", false},
      {L"CON", false},
      {L"nul.txt", false},
      {L"Aux .dll", false},
      {L"COM1", false},
      {L"lpt9.log", false},
      {L"COM\x00B9", false},
      {L"CONOUT$", false},
      {L"Tessaly.exe.", false},
      {L"Tessaly.exe ", false},
      {L"a*b", false},
      {L"a|b", false},
      {L"tab\there", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSafeUpdateFileName(c.name), c.safe) << testing::PrintToString(std::wstring(c.name));
  }
  EXPECT_FALSE(IsSafeUpdateFileName(std::wstring(256, L'a')));
}

}  // namespace
}  // namespace tessaly
