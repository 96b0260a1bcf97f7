#include "PathOrder.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Every split of a path into folder and name must order as the joined text does.
TEST(PathOrder, ComparesAsTheJoinedPath) {
  struct Case {
    std::wstring aFolder, aName, bFolder, bName;
  };
  const Case cases[] = {
      {L"/m/", L"a.mp3", L"/m/", L"b.mp3"},
      {L"/m/", L"b.mp3", L"/m/", L"b.mp3"},
      {L"/m/a/", L"z.mp3", L"/m/b/", L"a.mp3"},
      {L"/m/", L"ab.mp3", L"/m/a/", L"x.mp3"},   // a folder that is a prefix meets a name
      {L"/m/a/", L"x.mp3", L"/m/", L"a/.mp3"},   // the longer folder on the left
      {L"/m/", L"a", L"/m/a", L""},              // equal joined texts
      {L"/m/x", L"", L"/m/", L"x/y"},            // one joined text a prefix of the other
      {L"/m/song", L".mp3", L"/m/", L"song.mp3"},
      {L"/m/\u00e9/", L"a", L"/m/e/", L"a"},
      {L"", L"", L"/", L""},
  };
  for (const Case& c : cases) {
    const int expected = Sign((c.aFolder + c.aName).compare(c.bFolder + c.bName));
    EXPECT_EQ(Sign(ComparePaths(c.aFolder, c.aName, c.bFolder, c.bName)), expected)
        << c.aFolder << c.aName << " against " << c.bFolder << c.bName;
    EXPECT_EQ(Sign(ComparePaths(c.bFolder, c.bName, c.aFolder, c.aName)), -expected)
        << c.bFolder << c.bName << " against " << c.aFolder << c.aName;
  }
}

// Records of one folder share its text; their order is their names'.
TEST(PathOrder, RecordsOfOneFolderCompareByName) {
  const std::wstring folder = L"/music/";
  EXPECT_LT(ComparePaths(folder, L"a.mp3", folder, L"b.mp3"), 0);
  EXPECT_GT(ComparePaths(folder, L"b.mp3", folder, L"a.mp3"), 0);
  EXPECT_EQ(ComparePaths(folder, L"a.mp3", folder, L"a.mp3"), 0);
}

}  // namespace
}  // namespace tessaly
