#include "LogCapture.h"
#include "P2pSignature.h"
#include "ScanRecords.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

namespace tessaly {
namespace {
namespace fs = std::filesystem;

// A deterministic "executable": "MZ" and then bytes that differ from place to place.
std::string FakeExecutable(size_t size, uint32_t seed = 1) {
  std::string bytes(size, '\0');
  uint32_t state = seed;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<char>(state >> 16);
  }
  if (size >= 2) bytes[0] = 'M', bytes[1] = 'Z';
  return bytes;
}

int32_t SumOf(const std::string& bytes, size_t from, size_t count) {
  uint32_t sum = 0;
  for (size_t i = from; i < from + count && i < bytes.size(); ++i) sum += static_cast<uint8_t>(bytes[i]);
  return static_cast<int32_t>(sum);
}

// The sums worked out by hand from the description of the three places.
SignatureSums HandSums(const std::string& bytes) {
  SignatureSums sums;
  sums.headSum = SumOf(bytes, 0, 300);
  sums.headerSum = SumOf(bytes, 0, 28) + SumOf(bytes, 428, 28);
  const size_t middle = bytes.size() / 2;
  sums.middleSum = bytes.size() - middle >= 1000 ? SumOf(bytes, middle, 1000) : 0;
  return sums;
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::string Record(int32_t size, SignatureSums sums, const std::string& name) {
  return Bytes(EncodeSignatureRecord(size, sums, name));
}

void PutU32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// A header with the given H and E.
std::string Header(uint32_t h, uint32_t e) {
  std::string header(10, '\0');
  PutU32(header, 0, h);
  PutU32(header, 5, e);
  return header;
}

std::vector<std::wstring> Names(const SignatureDatabase& database) {
  std::vector<std::wstring> names;
  for (const auto* s : database.Signatures()) names.push_back(s->name);
  return names;
}

// A file record for a file on disk, as the walk would announce it.
struct FoundFile {
  std::shared_ptr<ScanFolder> folder;
  ScanFile file;
  explicit FoundFile(const fs::path& path) {
    folder = ScanFolder::MakeRoot(path.parent_path().wstring());
    file.folder = folder.get();
    file.name = path.filename().wstring();
    file.size = fs::file_size(path);
  }
};

TEST(SignatureFile, HeaderZeroAndEndTenGivesExactlyOneRecordFromOffsetTen) {
  const SignatureSums sums{111, 222, 333};
  const std::string file = Header(0, 10) + Record(4096, sums, "Kazaa 3.0") + Record(8192, sums, "Second");
  SignatureDatabase database;
  auto result = DecodeSignatureBuffer(reinterpret_cast<const uint8_t*>(file.data()), file.size(), database);
  EXPECT_EQ(result.records, 1u);
  ASSERT_EQ(database.signatures.count, 1u);
  const P2pSignature* s = database.Signatures()[0];
  EXPECT_EQ(s->fileSize, 4096);
  EXPECT_EQ(s->headSum, 111);
  EXPECT_EQ(s->middleSum, 222);
  EXPECT_EQ(s->headerSum, 333);
  EXPECT_EQ(s->nameLength, 9);
  EXPECT_EQ(s->name, L"Kazaa 3.0");
}

TEST(SignatureFile, RecordsAreReadFromHPlusTenWhileTheOffsetIsBelowE) {
  const SignatureSums sums{1, 2, 3};
  const std::string a = Record(1000, sums, "A");   // 30 bytes
  const std::string b = Record(2000, sums, "BB");  // 31 bytes
  const std::string c = Record(3000, sums, "");    // 29 bytes: an empty name is a record too
  const std::string pad = "xyz";                   // H = 3: three bytes between header and records
  struct {
    const char* name;
    std::string file;
    std::vector<std::wstring> want;
    bool complete;
  } cases[] = {
      {"E at the end", Header(3, 13 + 90) + pad + a + b + c, {L"A", L"BB", L""}, true},
      {"E inside the second record", Header(3, 13 + 31) + pad + a + b + c, {L"A", L"BB"}, true},
      {"E just past the first", Header(3, 13 + 30) + pad + a + b + c, {L"A"}, true},
      {"E beyond the file", Header(3, 100000) + pad + a + b, {L"A", L"BB"}, false},
      {"last record cut short", Header(3, 13 + 90) + pad + a + b + c.substr(0, 20), {L"A", L"BB"}, false},
      {"name runs past the end", Header(0, 200) + a + Record(5, sums, "long name").substr(0, 30), {L"A"}, false},
      {"H points past the file", Header(0xFFFFFFF0u, 0xFFFFFFFFu) + a, {}, false},
      {"shorter than a header", std::string("\0\0\0", 3), {}, false},
      {"header only", Header(0, 10), {}, false},
  };
  for (const auto& c : cases) {
    SignatureDatabase database;
    auto result = DecodeSignatureBuffer(reinterpret_cast<const uint8_t*>(c.file.data()), c.file.size(), database);
    EXPECT_EQ(Names(database), c.want) << c.name;
    EXPECT_EQ(result.complete, c.complete) << c.name;
  }
}

TEST(SignatureFile, HostileLengthsNeitherLoopNorReadOutside) {
  const SignatureSums sums{1, 2, 3};
  struct {
    const char* name;
    int32_t length;
  } cases[] = {{"negative", -29}, {"minus one", -1}, {"largest", 0x7FFFFFFF}, {"four billion", -4}};
  for (const auto& c : cases) {
    std::string record = Record(100, sums, "name");
    PutU32(record, 20, static_cast<uint32_t>(c.length));
    const std::string file = Header(0, 0xFFFFFFFFu) + Record(1, sums, "ok") + record + Record(2, sums, "after");
    SignatureDatabase database;
    DecodeSignatureBuffer(reinterpret_cast<const uint8_t*>(file.data()), file.size(), database);
    EXPECT_EQ(Names(database), std::vector<std::wstring>{L"ok"}) << c.name;
  }
}

TEST(SignatureFile, NamesAreInTheAnsiCodePage) {
  const std::string file = Header(0, 0) + Record(1, {}, "Caf\xE9 \x80");
  SignatureDatabase database;
  DecodeSignatureBuffer(reinterpret_cast<const uint8_t*>(file.data()), file.size(), database);
  ASSERT_EQ(database.signatures.count, 1u);
  EXPECT_EQ(database.Signatures()[0]->name, L"Caf\x00E9 \x20AC");
}

TEST(LoadArchive, ReportsAndAnswersForMissingEmptyAndGoodFiles) {
  test::TempTree tree;
  const std::wstring missing = (tree.root() / "PCBKDP.DAT").wstring();
  const std::wstring empty = tree.AddFile("empty/PCBKDP.DAT").wstring();
  const std::wstring good =
      tree.AddFile("good/PCBKDP.DAT", Header(0, 0) + Record(5000, {1, 2, 3}, "LimeWire")).wstring();
  struct {
    const char* name;
    std::wstring path;
    bool want;
    size_t records;
    std::wstring log;
  } cases[] = {
      {"missing", missing, false, 0, L"LoadArchive(): Failed to load signature file(" + missing + L"), Error("},
      {"empty", empty, true, 0, L"LoadArchive(): Failed to get signature filesize(" + empty + L"), Error("},
      {"good", good, true, 1, L""},
  };
  for (const auto& c : cases) {
    test::LogCapture log;
    SignatureDatabase database;
    EXPECT_EQ(LoadArchive(c.path, database), c.want) << c.name;
    EXPECT_EQ(database.signatures.count, c.records) << c.name;
    if (!c.log.empty()) {
      EXPECT_EQ(log.CountContaining(c.log), 1u) << c.name;
    } else {
      EXPECT_EQ(log.CountContaining(L"ERROR"), 0u) << c.name;
    }
  }
}

class MatchSignatureTest : public ::testing::Test {
 protected:
  fs::path Add(const std::string& name, const std::string& content) { return tree_.AddFile(name, content); }
  test::TempTree tree_;
};

TEST_F(MatchSignatureTest, TheSumsComeFromTheirThreePlaces) {
  const std::string base = FakeExecutable(5000, 7);
  // Changing one byte moves exactly the sums that cover it.
  struct {
    const char* name;
    size_t offset;
    bool head, header, middle;
  } cases[] = {
      {"byte 2", 2, true, true, false},        {"byte 27", 27, true, true, false},
      {"byte 28", 28, true, false, false},     {"byte 299", 299, true, false, false},
      {"byte 300", 300, false, false, false},  {"byte 427", 427, false, false, false},
      {"byte 428", 428, false, true, false},   {"byte 455", 455, false, true, false},
      {"byte 456", 456, false, false, false},  {"byte 511", 511, false, false, false},
      {"byte 2499", 2499, false, false, false}, {"byte 2500", 2500, false, false, true},
      {"byte 3499", 3499, false, false, true}, {"byte 3500", 3500, false, false, false},
  };
  FileHandle original = FileHandle::OpenForRead(Add("base.exe", base).wstring());
  const SignatureSums before = *ComputeSignatureSums(original, base.size());
  EXPECT_EQ(before.headSum, HandSums(base).headSum);
  EXPECT_EQ(before.headerSum, HandSums(base).headerSum);
  EXPECT_EQ(before.middleSum, HandSums(base).middleSum);
  for (const auto& c : cases) {
    std::string changed = base;
    changed[c.offset] = static_cast<char>(changed[c.offset] ^ 0x01);
    FileHandle file = FileHandle::OpenForRead(Add(std::string("changed-") + c.name, changed).wstring());
    auto after = ComputeSignatureSums(file, changed.size());
    ASSERT_TRUE(after.has_value()) << c.name;
    EXPECT_EQ(after->headSum != before.headSum, c.head) << c.name;
    EXPECT_EQ(after->headerSum != before.headerSum, c.header) << c.name;
    EXPECT_EQ(after->middleSum != before.middleSum, c.middle) << c.name;
  }
}

TEST_F(MatchSignatureTest, MiddleReadNeedsAllThousandBytesFromHalfTheSize) {
  struct {
    const char* name;
    size_t size;
    bool counted;
  } cases[] = {{"1999 bytes: read at 999 gets 1000", 1999, true},
               {"1998 bytes: read at 999 gets 999", 1998, false},
               {"512 bytes", 512, false},
               {"2000 bytes", 2000, true}};
  for (const auto& c : cases) {
    const std::string bytes = FakeExecutable(c.size, 3);
    FileHandle file = FileHandle::OpenForRead(Add(std::string("m-") + std::to_string(c.size), bytes).wstring());
    auto sums = ComputeSignatureSums(file, bytes.size());
    ASSERT_TRUE(sums.has_value()) << c.name;
    EXPECT_EQ(sums->middleSum, c.counted ? SumOf(bytes, c.size / 2, 1000) : 0) << c.name;
    EXPECT_NE(SumOf(bytes, c.size / 2, 1000), 0) << c.name;
  }
}

TEST_F(MatchSignatureTest, OnlyAWholeMzHeadCanMatch) {
  std::string notMz = FakeExecutable(4000, 5);
  notMz[1] = 'X';
  struct {
    const char* name;
    std::string bytes;
  } cases[] = {{"511 bytes", FakeExecutable(511, 5)}, {"no MZ", notMz}, {"empty", ""}};
  for (const auto& c : cases) {
    const fs::path path = Add(c.name, c.bytes);
    SignatureDatabase database;
    // A signature exactly as the sums of the zero-filled head would be.
    std::string padded = c.bytes;
    padded.resize(std::max<size_t>(padded.size(), 512), '\0');
    SignatureSums sums = HandSums(padded);
    sums.middleSum = 0;
    database.Add(std::make_unique<P2pSignature>(
        P2pSignature{static_cast<int32_t>(c.bytes.size()), sums.headSum, sums.middleSum, sums.headerSum, 1, L"x"}));
    FoundFile found(path);
    EXPECT_EQ(MatchSignature(found.file, database), nullptr) << c.name;
  }
}

TEST_F(MatchSignatureTest, FirstOfEqualSignaturesWinsAndEveryFieldMustAgree) {
  const std::string bytes = FakeExecutable(3000, 9);
  FoundFile found(Add("client.exe", bytes));
  const SignatureSums s = HandSums(bytes);
  SignatureDatabase database;
  auto add = [&](int32_t size, int32_t head, int32_t middle, int32_t header, const wchar_t* name) {
    database.Add(std::make_unique<P2pSignature>(P2pSignature{size, head, middle, header, 1, name}));
  };
  add(3001, s.headSum, s.middleSum, s.headerSum, L"wrong size");
  add(3000, s.headSum + 1, s.middleSum, s.headerSum, L"wrong head");
  add(3000, s.headSum, s.middleSum + 1, s.headerSum, L"wrong middle");
  add(3000, s.headSum, s.middleSum, s.headerSum - 1, L"wrong header");
  add(3000, s.headSum, s.middleSum, s.headerSum, L"first");
  add(3000, s.headSum, s.middleSum, s.headerSum, L"second");
  const P2pSignature* match = MatchSignature(found.file, database);
  ASSERT_NE(match, nullptr);
  EXPECT_EQ(match->name, L"first");
  EXPECT_FALSE(found.file.reader.IsOpen());
}

TEST_F(MatchSignatureTest, SizesBeyondSigned32BitsNeverMatchButPassThePreTest) {
  const std::string bytes = FakeExecutable(3000, 11);
  const SignatureSums s = HandSums(bytes);
  SignatureDatabase database;
  database.Add(std::make_unique<P2pSignature>(P2pSignature{3000, s.headSum, s.middleSum, s.headerSum, 1, L"a"}));
  // A stored size of 0x80000BB8 reads back as a negative number.
  database.Add(std::make_unique<P2pSignature>(
      P2pSignature{static_cast<int32_t>(0x80000BB8u), s.headSum, s.middleSum, s.headerSum, 1, L"negative"}));
  struct {
    const char* name;
    uint64_t size;
    bool preTest;
  } cases[] = {{"4 GiB + 3000", (uint64_t{1} << 32) + 3000, true},
               {"2 GiB + 3000", 0x80000BB8u, true},
               {"3001", 3001, false}};
  for (const auto& c : cases) {
    FoundFile found(Add("big.exe", bytes));
    found.file.size = c.size;
    EXPECT_EQ(database.HasSizeLow32(c.size), c.preTest) << c.name;
    EXPECT_EQ(MatchSignature(found.file, database), nullptr) << c.name;
  }
  FoundFile real(Add("real.exe", bytes));
  ASSERT_NE(MatchSignature(real.file, database), nullptr);
  EXPECT_EQ(MatchSignature(real.file, database)->name, L"a");
}

TEST_F(MatchSignatureTest, WrittenRecordsLoadAndMatchTheirExecutables) {
  const std::string one = FakeExecutable(2048, 21);
  const std::string two = FakeExecutable(70000, 22);
  std::string file = Header(0, 0);
  file += Record(2048, HandSums(one), "One");
  file += Record(70000, HandSums(two), "Two");
  PutU32(file, 5, static_cast<uint32_t>(file.size()));
  SignatureDatabase database;
  ASSERT_TRUE(LoadArchive(Add("PCBKDP.DAT", file).wstring(), database));
  EXPECT_EQ(database.fileSizeRead, file.size());
  FoundFile a(Add("one.exe", one));
  FoundFile b(Add("two.exe", two));
  ASSERT_NE(MatchSignature(a.file, database), nullptr);
  ASSERT_NE(MatchSignature(b.file, database), nullptr);
  EXPECT_EQ(MatchSignature(a.file, database)->name, L"One");
  EXPECT_EQ(MatchSignature(b.file, database)->name, L"Two");
}

}  // namespace
}  // namespace tessaly
