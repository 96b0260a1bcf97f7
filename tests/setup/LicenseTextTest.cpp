// The licence reader as the rich-edit control calls it: pieces of the size asked for, each read
// from a newly opened file at the saved position, and an error (not an early end) when the file
// cannot be read.
#include "LicenseText.h"
#include "LogCapture.h"
#include "StringTable.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tessaly {
namespace {

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

TEST(LicenseTextReader, DeliversPiecesOfTheRequestedSizeUntilTheEnd) {
  struct Case {
    const char* name;
    size_t fileSize;
    int32_t requested;
    std::vector<int32_t> want;  // the sizes delivered, the final 0 included
  } cases[] = {
      {"a size that divides the file", 12, 4, {4, 4, 4, 0}},
      {"a short last piece", 10, 4, {4, 4, 2, 0}},
      {"one piece larger than the file", 10, 4096, {10, 0}},
      {"pieces of one byte", 3, 1, {1, 1, 1, 0}},
      {"an empty file", 0, 16, {0}},
  };
  for (const Case& c : cases) {
    test::TempTree tree;
    const std::string content = Pattern(c.fileSize);
    const auto path = tree.AddFile("licence.rtf", content);
    LicenseTextReader reader(path.wstring());
    std::vector<int32_t> sizes;
    std::string joined;
    for (int guard = 0; guard < 100; ++guard) {
      std::vector<uint8_t> buffer(static_cast<size_t>(c.requested) + 1, 0xEE);
      int32_t delivered = -1;
      ASSERT_TRUE(reader.ReadPiece(buffer.data(), c.requested, delivered)) << c.name;
      sizes.push_back(delivered);
      joined.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(delivered));
      // The requested part of the buffer is zeroed past what was delivered; nothing beyond it is
      // touched.
      for (int32_t i = delivered; i < c.requested; ++i) ASSERT_EQ(buffer[static_cast<size_t>(i)], 0) << c.name;
      EXPECT_EQ(buffer[static_cast<size_t>(c.requested)], 0xEE) << c.name;
      if (delivered == 0) break;
    }
    EXPECT_EQ(sizes, c.want) << c.name;
    EXPECT_EQ(joined, content) << c.name;
    EXPECT_EQ(reader.Position(), c.fileSize) << c.name;
  }
}

TEST(LicenseTextReader, OpensTheFileAgainForEveryPieceAndReadsOnFromTheSavedPosition) {
  test::TempTree tree;
  const auto path = tree.AddFile("licence.rtf", "0123456789");
  LicenseTextReader reader(path.wstring());
  uint8_t buffer[4] = {};
  int32_t delivered = 0;
  ASSERT_TRUE(reader.ReadPiece(buffer, 4, delivered));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "0123");
  // No handle is held between pieces: the file can be replaced, and the next piece comes from the
  // new file at the old position.
  std::filesystem::remove(path);
  tree.AddFile("licence.rtf", "ABCDEFGHIJ");
  ASSERT_TRUE(reader.ReadPiece(buffer, 4, delivered));
  EXPECT_EQ(delivered, 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "EFGH");
  EXPECT_EQ(reader.Position(), 8u);
}

TEST(LicenseTextReader, AMissingFileIsAnErrorThatIsReported) {
  test::TempTree tree;
  const auto path = tree.root() / "gone.rtf";
  test::LogCapture log;
  LicenseTextReader reader(path.wstring());
  uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  int32_t delivered = -1;
  EXPECT_FALSE(reader.ReadPiece(buffer, 8, delivered));
  EXPECT_EQ(delivered, 0);
  EXPECT_EQ(reader.Position(), 0u);
  EXPECT_EQ(log.CountContaining(L"LicenseDialog.RichEditCallBack: Failed to Open RTF File(" + path.wstring() + L")"),
            1u);
}

TEST(LicenseRtfBytes, AreTheCurrentLanguagesRtfInTheAnsiCodePageWithoutATerminator) {
  StringTable table;
  LoadLanguageXMLData(table,
                      L"<MorvaneSoftware><Tessaly><Resource><AvailableLanguages>"
                      L"<Language LangCode=\"UK\">English(UK)</Language>"
                      L"<Language LangCode=\"DE\">German</Language></AvailableLanguages>"
                      L"<String SID=\"IDS_LICENSE_RTFDATA\" Lang=\"UK\">{\\rtf1 Licence}</String>"
                      L"<String SID=\"IDS_LICENSE_RTFDATA\" Lang=\"DE\">{\\rtf1 Lizenz f\u00FCr Stra\u00DFe}</String>"
                      L"</Resource></Tessaly></MorvaneSoftware>");
  ASSERT_EQ(SelectLanguage(table, L"German"), 1);
  // The system code page is Windows-1252 here (and on the test machines' Wine).
  EXPECT_EQ(LicenseRtfBytes(table),
            "{\\rtf1 Lizenz f\xFCr Stra\xDF"
            "e}");
  ASSERT_EQ(SelectLanguage(table, L"English(UK)"), 1);
  EXPECT_EQ(LicenseRtfBytes(table), "{\\rtf1 Licence}");
}

}  // namespace
}  // namespace tessaly
