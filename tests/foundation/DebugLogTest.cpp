#include "DebugLog.h"
#include "LogCapture.h"
#include "MvError.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

TEST(DebugLog, FormatsPrintfStyleAndAddsNothing) {
  test::LogCapture log;
  DebugPrint(L"Scanning Folder(%s), Start\r\n", std::wstring(L"C:\\x\\"));
  DebugPrint(L"plain");
  ASSERT_EQ(log.Lines().size(), 2u);
  EXPECT_EQ(log.Lines()[0], L"Scanning Folder(C:\\x\\), Start\r\n");
  EXPECT_EQ(log.Lines()[1], L"plain");
}

TEST(DebugLog, LinesAreCutToTheViewerLimit) {
  test::LogCapture log;
  DebugPrint(L"%s", std::wstring(5000, L'a'));
  EXPECT_EQ(log.Lines().at(0).size(), kDebugLineCapacity - 1);
}

TEST(DebugLog, BadFormatIsLoggedAsItStands) {
  test::LogCapture log;
  DebugPrint(L"count %d", std::wstring(L"not a number"));
  EXPECT_EQ(log.Lines().at(0), L"count %d");
}

TEST(MvError, ReportCarriesTheTimeAndEndsTheLine) {
  test::LogCapture log;
  MvError error;
  error.Report(L"Failed to scan folder, attempt: %d, Exception Code: %d", 1, -1073741819);
  const std::wstring line = log.Lines().at(0);
  EXPECT_TRUE(std::regex_match(line, std::wregex(LR"(\(ERROR \d\d:\d\d:\d\d\) Failed to scan folder, attempt: 1, Exception Code: -1073741819\r\n)")))
      << std::string(line.begin(), line.end());
}

TEST(MvError, LongMessageIsCutTo8191CharactersBeforeLogging) {
  // The message is cut first, then the debug line meets its own 2047-character limit; observe the
  // message cut through a format that leaves the tail visible.
  test::LogCapture log;
  MvError error;
  error.Report(L"%s", std::wstring(10000, L'x'));
  const std::wstring line = log.Lines().at(0);
  EXPECT_EQ(line.size(), kDebugLineCapacity - 1);
  EXPECT_EQ(line.rfind(L"(ERROR ", 0), 0u);
}

TEST(MvError, ReportsFromManyThreadsAreWholeLines) {
  test::LogCapture log;
  MvError error;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&error, t] {
      for (int i = 0; i < 200; ++i) error.Report(L"thread %d line %d", t, i);
    });
  }
  for (auto& thread : threads) thread.join();
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 800u);
  for (const auto& line : lines) {
    EXPECT_TRUE(std::regex_match(line, std::wregex(LR"(\(ERROR \d\d:\d\d:\d\d\) thread \d line \d+\r\n)")));
  }
}

TEST(MvError, GetLastErrorAlwaysGivesText) {
  const wchar_t* text = MvError::GetLastError();
  ASSERT_NE(text, nullptr);
  EXPECT_GT(std::wstring(text).size(), 0u);
}

}  // namespace
}  // namespace tessaly
