#include "UpdateProgress.h"

#include "StringTable.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(UpdateProgress, BarPosition) {
  struct Case {
    uint64_t received, expected;
    uint32_t want;
  } cases[] = {
      {0, 0, 0},              // nothing expected: no division by zero
      {500, 0, 0},
      {0, 3000000, 0},
      {1, 3000000, 0},        // truncated
      {1500000, 3000000, 500},
      {2999999, 3000000, 999},
      {3000000, 3000000, 1000},
      {3000001, 3000000, 1000},  // more than announced stays at the end
      {0xFFFFFFFFull * 3, 0xFFFFFFFFull * 4, 750},  // beyond 32 bits
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressPosition(c.received, c.expected), c.want) << c.received << "/" << c.expected;
}

TEST(UpdateProgress, SpeedLineChangesAtMostOncePerSecond) {
  SpeedMeter meter;
  meter.Start(10000, 0);
  EXPECT_FALSE(meter.Update(10999, 50000).has_value());
  EXPECT_EQ(meter.Update(11000, 100000), 100000u);
  EXPECT_FALSE(meter.Update(11500, 150000).has_value());
  // Two seconds since the last line: the rate is per second, not per interval.
  EXPECT_EQ(meter.Update(13000, 300000), 100000u);
}

TEST(UpdateProgress, SpeedAcrossTheClockWrapAndNeverNegative) {
  SpeedMeter meter;
  meter.Start(0xFFFFFF00u, 1000);
  EXPECT_FALSE(meter.Update(0x00000100u, 2000).has_value()) << "512 ms across the wrap";
  EXPECT_EQ(meter.Update(0x00000300u + 488u, 3000), 2000u * 1000 / 1512) << "1512 ms across the wrap";
  // A byte total below the last one (a new download counted from 0) gives 0, not a huge number.
  EXPECT_EQ(meter.Update(0x00000300u + 488u + 1000u, 0), 0u);
}

TEST(UpdateProgress, DownloadProgressCountsChunksFromEachStart) {
  DownloadProgress progress;
  progress.Start(3000, 1000);
  ProgressReport first = progress.AddChunk(1000, 1500);
  EXPECT_EQ(first.position, 333u);
  EXPECT_EQ(first.receivedBytes, 1000u);
  EXPECT_FALSE(first.bytesPerSecond.has_value()) << "half a second since the start";
  ProgressReport second = progress.AddChunk(2000, 2000);
  EXPECT_EQ(second.position, 1000u);
  EXPECT_EQ(second.bytesPerSecond, 3000u);

  // A second download starts again from nothing, with nothing expected.
  progress.Start(0, 5000);
  ProgressReport empty = progress.AddChunk(700, 6000);
  EXPECT_EQ(empty.position, 0u) << "no division by zero";
  EXPECT_EQ(empty.receivedBytes, 700u);
  EXPECT_EQ(empty.bytesPerSecond, 700u) << "not counted against the first download's bytes";
}

TEST(UpdateProgress, SpeedLineText) {
  StringTable table;
  LoadLanguageXMLData(table,
                      L"<MorvaneSoftware><Tessaly><Resource><AvailableLanguages>"
                      L"<Language LangCode=\"UK\">English(UK)</Language></AvailableLanguages>"
                      L"<String SID=\"IDS_KB\" Lang=\"UK\">KB</String>"
                      L"<String SID=\"IDS_MB\" Lang=\"UK\">MB</String>"
                      L"<String SID=\"IDS_BYTES\" Lang=\"UK\"> Bytes</String>"
                      L"</Resource></Tessaly></MorvaneSoftware>");
  ASSERT_EQ(SelectLanguage(table, L"English(UK)"), 1);
  EXPECT_EQ(SpeedLineText(2048, 3 * 1048576, table), L"2.00KB/sec, 3.00MB");
  EXPECT_EQ(SpeedLineText(0, 0, table), L"0 Bytes/sec, 0 Bytes");
}

}  // namespace
}  // namespace tessaly
