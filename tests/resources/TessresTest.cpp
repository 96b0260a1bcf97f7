// Tessres.dll as the program uses it: loaded from the program folder, its "XMLLanguage" resource
// read and parsed into a language table.
#include "LanguageResource.h"
#include "StringTable.h"
#include "TessresResources.h"
#include "WinHandles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

std::wstring TessresPath() {
  const std::string path = TESSRES_PATH;
  std::wstring wide(path.begin(), path.end());
  if (!wide.empty() && wide[0] == L'/') wide = L"Z:" + wide;  // Wine shows the Unix root as Z:
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

class TessresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_.reset(LoadLibraryW(TessresPath().c_str()));
    ASSERT_TRUE(library_) << "LoadLibrary failed, error " << GetLastError();
  }
  win::UniqueModule library_;
};

TEST_F(TessresTest, LanguageResourceParsesIntoElevenLanguages) {
  std::optional<std::wstring> xml = ReadLanguageResource(library_.get());
  ASSERT_TRUE(xml);
  EXPECT_EQ(xml->substr(0, 6), L"\uFEFF<?xml");
  EXPECT_NE(xml->rfind(L"</MorvaneSoftware>"), std::wstring::npos) << "the document is cut short";

  StringTable table;
  LoadLanguageXMLData(table, *xml);
  std::vector<std::wstring> names;
  for (const MvListEntry* entry = table.languages.head; entry; entry = entry->next) {
    names.push_back(static_cast<const LanguageRecord*>(entry->value)->name);
  }
  EXPECT_EQ(names.size(), 11u);
  ASSERT_EQ(SelectLanguage(table, L"English(UK)"), 1);
  EXPECT_STREQ(GetString(false, L"IDS_PROGRAMTITLE", table), L"Tessaly");
  ASSERT_EQ(SelectLanguage(table, L"German"), 1);
  EXPECT_STRNE(GetString(false, L"IDS_STARTSCAN", table), kStringNotFound);
}

TEST_F(TessresTest, CarriesTheSetupBannerAndItsOwnVersion) {
  win::UniqueBitmap banner(LoadBitmapW(library_.get(), MAKEINTRESOURCEW(IDB_SETUPBANNER)));
  ASSERT_TRUE(banner);
  BITMAP info{};
  GetObjectW(banner.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 497);
  EXPECT_EQ(info.bmHeight, 68);

  HRSRC version = FindResourceW(library_.get(), MAKEINTRESOURCEW(1), RT_VERSION);
  ASSERT_NE(version, nullptr);
  const auto* block = static_cast<const BYTE*>(LockResource(LoadResource(library_.get(), version)));
  const std::wstring text(reinterpret_cast<const wchar_t*>(block), SizeofResource(library_.get(), version) / 2);
  EXPECT_NE(text.find(L"040604b0"), std::wstring::npos);
  EXPECT_NE(text.find(L"Tessres.dll"), std::wstring::npos);
}

TEST(LanguageResourceReader, AModuleWithoutTheResourceGivesNothing) {
  // This test program carries the program's resources but no language XML.
  EXPECT_FALSE(ReadLanguageResource(GetModuleHandleW(nullptr)));
}

}  // namespace
}  // namespace tessaly
