// The hand-over of scan rows to the user-interface thread: when the worker posts, what a drain
// takes, and that nothing queued is lost.
#include "RowBatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace tessaly {
namespace {

using Batcher = RowBatcher<int, std::string>;
using namespace std::chrono_literals;
const Batcher::Clock::time_point t0{};

TEST(RowBatcherTest, PostsOncePerIntervalAndDrainTakesEverythingQueued) {
  Batcher batcher(50ms);
  EXPECT_TRUE(batcher.Push(1, t0));         // first row: post
  EXPECT_FALSE(batcher.Push(2, t0 + 10ms));  // a drain is outstanding
  Batcher::Batch batch = batcher.Take();
  EXPECT_EQ(batch.rows, (std::vector<int>{1, 2}));
  EXPECT_FALSE(batch.more);
  EXPECT_FALSE(batcher.Push(3, t0 + 20ms));  // drained, but within the interval of the last post
  EXPECT_FALSE(batcher.Push(4, t0 + 49ms));
  EXPECT_TRUE(batcher.Push(5, t0 + 50ms));   // interval passed: rows 3 to 5 in one batch
  EXPECT_EQ(batcher.Take().rows, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(batcher.Pending(), 0u);
}

TEST(RowBatcherTest, StatusTextIsCoalescedAndCanTriggerTheDrain) {
  Batcher batcher(50ms);
  EXPECT_TRUE(batcher.Push(1, t0));
  batcher.Take();
  EXPECT_FALSE(batcher.Push(2, t0 + 5ms));        // would wait for the next row...
  EXPECT_FALSE(batcher.SetStatus("a", t0 + 20ms));
  EXPECT_TRUE(batcher.SetStatus("b", t0 + 60ms));  // ...the status refresh brings it
  Batcher::Batch batch = batcher.Take();
  EXPECT_EQ(batch.rows, (std::vector<int>{2}));
  EXPECT_EQ(batch.status, "b");
  EXPECT_FALSE(batcher.Take().status.has_value());
}

TEST(RowBatcherTest, FlushPostsWhatIsLeftAndALimitedTakeLeavesTheRest) {
  Batcher batcher(50ms);
  EXPECT_FALSE(batcher.Flush());  // nothing waits
  EXPECT_TRUE(batcher.Push(1, t0));
  EXPECT_FALSE(batcher.Flush());  // the posted drain will take it
  batcher.Take();
  batcher.Push(2, t0 + 1ms);
  batcher.Push(3, t0 + 2ms);
  batcher.Push(4, t0 + 3ms);
  EXPECT_TRUE(batcher.Flush());
  Batcher::Batch first = batcher.Take(2);
  EXPECT_EQ(first.rows, (std::vector<int>{2, 3}));
  EXPECT_TRUE(first.more);
  EXPECT_EQ(batcher.Take(2).rows, (std::vector<int>{4}));
}

TEST(RowBatcherTest, ClearDropsWaitingRowsAndStartsANewGeneration) {
  Batcher batcher(50ms);
  batcher.Push(1, t0);
  batcher.SetStatus("old", t0);
  const uint64_t before = batcher.Generation();
  EXPECT_EQ(batcher.Clear(), before + 1);
  Batcher::Batch batch = batcher.Take();
  EXPECT_TRUE(batch.rows.empty());
  EXPECT_FALSE(batch.status.has_value());
}

TEST(RowBatcherTest, AFailedPostLetsTheNextRowPostAgain) {
  Batcher batcher(0ms);
  EXPECT_TRUE(batcher.Push(1, t0));
  EXPECT_FALSE(batcher.Push(2, t0));
  batcher.PostFailed();
  EXPECT_TRUE(batcher.Push(3, t0));
}

TEST(RowBatcherTest, EveryRowOfAWorkerReachesTheDrainsInOrder) {
  Batcher batcher(1ms);
  constexpr int kRows = 5000;
  std::atomic<int> posts{0};
  std::thread worker([&] {
    for (int i = 0; i < kRows; ++i) {
      if (batcher.Push(i, Batcher::Clock::now())) ++posts;
    }
    if (batcher.Flush()) ++posts;
  });
  std::vector<int> seen;
  while (seen.size() < static_cast<size_t>(kRows)) {
    Batcher::Batch batch = batcher.Take(500);
    seen.insert(seen.end(), batch.rows.begin(), batch.rows.end());
    std::this_thread::yield();
  }
  worker.join();
  ASSERT_EQ(seen.size(), static_cast<size_t>(kRows));
  for (int i = 0; i < kRows; ++i) ASSERT_EQ(seen[i], i);
  EXPECT_LT(posts.load(), kRows);  // batched, not a message per row
}

}  // namespace
}  // namespace tessaly
