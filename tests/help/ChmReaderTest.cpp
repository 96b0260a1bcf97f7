// The help-file directory reader on a real compiled file and on damaged copies of it: every damage
// must end in a clean failure that names it, never in a read past the bytes.
#include "ChmReader.h"
#include "HelpTestFiles.h"

#include <gtest/gtest.h>

#include <functional>

namespace tessaly::test {
namespace {

uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

void Put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

void Put64(std::string& b, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// Where the parts of the file lie, read straight from the header fields.
struct Layout {
  size_t directory = 0;  // ITSP header
  size_t chunk = 0;  // first listing chunk
  size_t chunkSize = 0;
  size_t content = 0;
};

Layout LayoutOf(const std::string& b) {
  Layout l;
  l.directory = Get32(b, 0x48);
  l.chunk = l.directory + Get32(b, l.directory + 8) + Get32(b, l.directory + 0x20) * Get32(b, l.directory + 0x10);
  l.chunkSize = Get32(b, l.directory + 0x10);
  l.content = Get32(b, 0x58);
  return l;
}

class ChmReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> bytes = ReadFileBytes(HelpFilePath("UK_Help.chm"));
    ASSERT_TRUE(bytes) << "UK_Help.chm has not been built";
    original_ = *bytes;
    ASSERT_GT(original_.size(), 0x100u);
    layout_ = LayoutOf(original_);
  }

  std::string original_;
  Layout layout_;
};

TEST_F(ChmReaderTest, ListsThePagesOfABuiltFile) {
  ChmDirectory directory;
  std::string error;
  ASSERT_TRUE(ReadChmDirectory(original_, directory, error)) << error;
  EXPECT_EQ(directory.lcid, 0x0809u);
  for (const char* name : {"/introduction.htm", "/FAQ.htm", "/help.css", "/contents.hhc"}) {
    const ChmEntry* entry = directory.Find(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->section, 1u) << name;
    EXPECT_GT(entry->length, 0u) << name;
  }
  // System entries in the uncompressed section, looked up by exact name only.
  ASSERT_NE(directory.Find("/#SYSTEM"), nullptr);
  EXPECT_EQ(directory.Find("/#SYSTEM")->section, 0u);
  EXPECT_EQ(directory.Find("/faq.htm"), nullptr);
  EXPECT_EQ(directory.Find("/FAQ.ht"), nullptr);
}

TEST_F(ChmReaderTest, DamagedFilesFailWithTheirReason) {
  const Layout& l = layout_;
  const size_t entries = l.chunk + 20;
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
    const char* reason;
  };
  const Case cases[] = {
      {"empty", [](std::string& b) { b.clear(); }, "shorter than an ITSF header"},
      {"cut inside the header", [](std::string& b) { b.resize(0x40); }, "shorter than an ITSF header"},
      {"wrong signature", [](std::string& b) { b[0] = 'X'; }, "no ITSF signature"},
      {"unknown version", [](std::string& b) { Put32(b, 4, 4); }, "ITSF version 4"},
      {"header longer than the file", [](std::string& b) { Put32(b, 8, static_cast<uint32_t>(b.size() + 1)); },
       "ITSF header length out of range"},
      {"directory after the end", [](std::string& b) { Put64(b, 0x48, b.size()); }, "directory lies outside the file"},
      {"directory length wraps round", [](std::string& b) { Put64(b, 0x50, ~uint64_t{0} - 8); },
       "directory lies outside the file"},
      {"cut inside the directory", [&](std::string& b) { b.resize(l.directory + 0x54 + 100); },
       "directory lies outside the file"},
      {"content offset after the end", [](std::string& b) { Put64(b, 0x58, b.size() + 1); },
       "content section lies outside the file"},
      {"no ITSP signature", [&](std::string& b) { b[l.directory + 3] = 'Q'; }, "no ITSP signature"},
      {"chunk size 0", [&](std::string& b) { Put32(b, l.directory + 0x10, 0); }, "directory chunk size out of range"},
      {"chunk size of the whole file", [&](std::string& b) { Put32(b, l.directory + 0x10, 0x7FFFFFFF); },
       "directory chunk size out of range"},
      {"more chunks than the directory holds", [&](std::string& b) { Put32(b, l.directory + 0x2C, 0x7FFFFFFF); },
       "directory chunks lie outside the directory"},
      {"first listing chunk not in the directory", [&](std::string& b) { Put32(b, l.directory + 0x20, 9); },
       "listing chunk 9 is not in the directory"},
      {"chunk chain loops", [&](std::string& b) { Put32(b, l.chunk + 16, Get32(b, l.directory + 0x20)); },
       "listing chunks form a loop"},
      {"next chunk negative", [&](std::string& b) { Put32(b, l.chunk + 16, 0xFFFFFFFE); },
       "listing chunk -2 is not in the directory"},
      {"no PMGL signature", [&](std::string& b) { b[l.chunk] = 'X'; }, "no PMGL signature"},
      {"free space larger than the chunk", [&](std::string& b) { Put32(b, l.chunk + 4, 2 * l.chunkSize); },
       "free space larger than the chunk"},
      {"empty listing",
       [&](std::string& b) {
         Put32(b, l.chunk + 4, static_cast<uint32_t>(l.chunkSize - 20));
         Put32(b, l.chunk + 16, 0xFFFFFFFF);
       },
       "the directory lists nothing"},
      {"name longer than the chunk",
       [&](std::string& b) {
         b[entries] = '\x83';
         b[entries + 1] = '\xFF';
         b[entries + 2] = '\x7F';
       },
       "entry name runs off the chunk"},
      {"name length that never ends",
       [&](std::string& b) {
         for (size_t i = entries; i < entries + 40; ++i) b[i] = '\x80';
       },
       "entry name length is unreadable"},
      {"name length 0", [&](std::string& b) { b[entries] = 0; }, "entry without a name"},
      // The first entry is "/" (01 2F), then its section, offset and length.
      {"entry cut by the free space",
       [&](std::string& b) { Put32(b, l.chunk + 4, static_cast<uint32_t>(l.chunkSize - 20 - 3)); },
       "entry / runs off the chunk"},
      {"unknown section", [&](std::string& b) { b[entries + 2] = 5; }, "/: unknown section 5"},
      {"cut inside the content", [&](std::string& b) { b.resize(l.content + 16); }, "lies outside the file"},
  };
  for (const Case& c : cases) {
    std::string bytes = original_;
    c.damage(bytes);
    ChmDirectory directory;
    std::string error;
    EXPECT_FALSE(ReadChmDirectory(bytes, directory, error)) << c.name;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
  }
}

TEST_F(ChmReaderTest, CompressedSectionSmallerThanItsPagesFails) {
  ChmDirectory directory;
  std::string error;
  ASSERT_TRUE(ReadChmDirectory(original_, directory, error)) << error;
  const ChmEntry* reset = directory.Find(
      "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
  ASSERT_NE(reset, nullptr);
  const ChmEntry* guide = directory.Find("/introduction.htm");
  ASSERT_NE(guide, nullptr);
  // The uncompressed size in the reset table, just short of the end of the guide page.
  std::string bytes = original_;
  Put64(bytes, layout_.content + reset->offset + 0x10, guide->offset + guide->length - 1);
  EXPECT_FALSE(ReadChmDirectory(bytes, directory, error));
  EXPECT_NE(error.find("lies outside the compressed section"), std::string::npos) << error;
}

TEST_F(ChmReaderTest, EveryTruncationFails) {
  // The compressed content ends the file, so no prefix of it is a whole help file.
  for (size_t size = 0; size < original_.size(); size += 61) {
    ChmDirectory directory;
    std::string error;
    EXPECT_FALSE(ReadChmDirectory(std::string_view(original_).substr(0, size), directory, error)) << size;
    EXPECT_FALSE(error.empty()) << size;
  }
}

}  // namespace
}  // namespace tessaly::test
