#include "P2pSignature.h"
#include "ScanRecords.h"
#include "SignatureTool.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaly {
namespace {
namespace fs = std::filesystem;

std::string Executable(size_t size, char fill) {
  std::string bytes(size, fill);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + static_cast<size_t>(fill)) & 0xFF);
  if (size >= 2) bytes[0] = 'M', bytes[1] = 'Z';
  return bytes;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ToolRun {
  int code;
  std::string out, err;
};

class SignatureToolTest : public ::testing::Test {
 protected:
  ToolRun Tool(std::vector<std::wstring> args) {
    std::ostringstream out, err;
    int code = RunSignatureTool(args, out, err);
    return {code, out.str(), err.str()};
  }
  std::wstring Path(const char* name) const { return (tree_.root() / name).wstring(); }
  test::TempTree tree_;
};

TEST_F(SignatureToolTest, AddCreatesAFileThatTheLoaderAndMatcherAgreeWith) {
  tree_.AddFile("one.exe", Executable(4000, 1));
  tree_.AddFile("two.exe", Executable(1999, 2));
  ASSERT_EQ(Tool({L"add", Path("db"), Path("one.exe"), L"One"}).code, 0);
  ASSERT_EQ(Tool({L"add", Path("db"), Path("two.exe"), L"Two \x00E9"}).code, 0);

  SignatureDatabase database;
  ASSERT_TRUE(LoadArchive(Path("db"), database));
  EXPECT_EQ(database.signatures.count, 2u);
  const std::string bytes = ReadAll(tree_.root() / "db");
  const uint32_t end = static_cast<uint8_t>(bytes[5]) | static_cast<uint8_t>(bytes[6]) << 8;
  EXPECT_EQ(end, bytes.size());
  for (const auto& [file, name] : {std::pair{"one.exe", L"One"}, std::pair{"two.exe", L"Two \x00E9"}}) {
    auto folder = ScanFolder::MakeRoot(tree_.root().wstring());
    ScanFile found;
    found.folder = folder.get();
    found.name = fs::path(file).wstring();
    found.size = fs::file_size(tree_.root() / file);
    const P2pSignature* match = MatchSignature(found, database);
    ASSERT_NE(match, nullptr) << file;
    EXPECT_EQ(match->name, name) << file;
  }
  const ToolRun listed = Tool({L"list", Path("db")});
  EXPECT_EQ(listed.code, 0);
  EXPECT_NE(listed.out.find("\nTwo \xC3\xA9\t1999\t"), std::string::npos) << listed.out;
  const ToolRun matched = Tool({L"match", Path("db"), Path("one.exe"), Path("two.exe")});
  EXPECT_EQ(matched.out, WideToUtf8(Path("one.exe")) + ": One\n" + WideToUtf8(Path("two.exe")) + ": Two \xC3\xA9\n");
}

TEST_F(SignatureToolTest, RefusesExecutablesThatCouldNeverMatch) {
  tree_.AddFile("511.exe", Executable(511, 3));
  tree_.AddFile("text.txt", std::string(600, 'a'));
  tree_.AddFileOfSize("huge.exe", uint64_t{1} << 31);
  struct {
    const char* name;
    const char* file;
    const char* error;
  } cases[] = {
      {"511 bytes", "511.exe", "has 511 bytes; a signature needs at least 512"},
      {"no MZ", "text.txt", "does not start with \"MZ\""},
      {"2 GiB", "huge.exe", "is 2 GiB or larger"},
      {"missing", "missing.exe", "cannot open"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Tool({L"add", Path("db"), Path(c.file), L"X"});
    EXPECT_EQ(run.code, 1) << c.name;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << c.name << ": " << run.err;
    EXPECT_FALSE(fs::exists(tree_.root() / "db")) << c.name;
    tree_.AddFile("good.db", "");
  }
  tree_.AddFile("ok.exe", Executable(600, 4));
  ASSERT_EQ(Tool({L"add", Path("db"), Path("ok.exe"), L"Ok"}).code, 0);
  const ToolRun matched = Tool({L"match", Path("db"), Path("511.exe"), Path("ok.exe")});
  EXPECT_EQ(matched.code, 1);
  EXPECT_EQ(matched.out, WideToUtf8(Path("ok.exe")) + ": Ok\n");
}

TEST_F(SignatureToolTest, MalformedOrUnreadableFilesAreErrorsAndStayUntouched) {
  tree_.AddFile("a.exe", Executable(800, 5));
  ASSERT_EQ(Tool({L"add", Path("db"), Path("a.exe"), L"A"}).code, 0);
  const std::string good = ReadAll(tree_.root() / "db");
  struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"truncated record", good.substr(0, good.size() - 3), "runs past the end"},
      {"bytes after the records", good + "xyz", "3 bytes lie after the last record"},
      {"shorter than a header", good.substr(0, 6), "shorter than its header"},
      {"header only", good.substr(0, 10), "runs past the end"},
  };
  for (const auto& c : cases) {
    const fs::path db = tree_.AddFile(std::string("bad-") + c.name, c.bytes);
    for (const std::vector<std::wstring>& args :
         {std::vector<std::wstring>{L"list", db.wstring()},
          std::vector<std::wstring>{L"add", db.wstring(), Path("a.exe"), L"B"},
          std::vector<std::wstring>{L"match", db.wstring(), Path("a.exe")}}) {
      const ToolRun run = Tool(args);
      EXPECT_EQ(run.code, 1) << c.name;
      EXPECT_NE(run.err.find(c.error), std::string::npos) << c.name << ": " << run.err;
    }
    EXPECT_EQ(ReadAll(db), c.bytes) << c.name;
  }
  EXPECT_EQ(Tool({L"list", Path("missing.db")}).code, 1);
  EXPECT_EQ(Tool({L"list"}).code, 2);
  EXPECT_EQ(Tool({L"frobnicate", Path("db")}).code, 2);
}

TEST_F(SignatureToolTest, BuildWritesTheReviewedListAndNamesBadLines) {
  tree_.AddFile("good.tsv", "# comment\r\nLimeWire\t61440\t1\t2\t3\r\n\r\nOther\t512\t-4\t5\t6\n");
  ASSERT_EQ(Tool({L"build", Path("out.dat"), Path("good.tsv")}).code, 0);
  const ToolRun listed = Tool({L"list", Path("out.dat")});
  EXPECT_EQ(listed.out, "# name\tsize\thead sum\tmiddle sum\theader sum\nLimeWire\t61440\t1\t2\t3\nOther\t512\t-4\t5\t6\n");
  struct {
    const char* name;
    const char* list;
    const char* error;
  } cases[] = {
      {"four fields", "a\t1000\t1\t2\n", ":1: expected"},
      {"not a number", "# x\na\t1000\t1\tz\t3\n", ":2: expected"},
      {"too small", "a\t511\t1\t2\t3\n", ":1: expected"},
      {"empty", "# nothing\n", "holds no signature"},
  };
  for (const auto& c : cases) {
    tree_.AddFile("bad.tsv", c.list);
    const ToolRun run = Tool({L"build", Path("bad.dat"), Path("bad.tsv")});
    EXPECT_EQ(run.code, 1) << c.name;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << c.name << ": " << run.err;
  }
}

}  // namespace
}  // namespace tessaly
