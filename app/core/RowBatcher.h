// Collects the rows and status texts a scan produces on its worker thread and hands them to the
// user-interface thread in batches. The worker only takes a short lock per row and never waits
// for the user-interface thread; it posts a drain when none is outstanding and the interval has
// passed since the last post, so one message carries everything found in that time. A row stays
// queued until a drain takes it, so nothing counted is lost when the scan stops: the finish
// drains whatever is left.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace tessaly {

template <typename Row, typename Status>
class RowBatcher {
 public:
  using Clock = std::chrono::steady_clock;

  struct Batch {
    std::vector<Row> rows;
    std::optional<Status> status;  // the latest status text, when one came since the last batch
    bool more = false;             // rows are left for a later batch
  };

  explicit RowBatcher(std::chrono::milliseconds interval = std::chrono::milliseconds(50)) : interval_(interval) {}

  // Worker: queues a row. True when the caller must post a drain now.
  bool Push(Row row, Clock::time_point now) {
    std::lock_guard guard(lock_);
    rows_.push_back(std::move(row));
    return DueLocked(now);
  }
  // Worker: replaces the status text waiting. True when the caller must post a drain now.
  bool SetStatus(Status status, Clock::time_point now) {
    std::lock_guard guard(lock_);
    status_ = std::move(status);
    return DueLocked(now);
  }
  // Worker: true when something waits and a drain must be posted regardless of the interval
  // (before the finish). Marks the drain outstanding.
  bool Flush() {
    std::lock_guard guard(lock_);
    if (outstanding_ || (rows_.empty() && !status_)) return false;
    outstanding_ = true;
    return true;
  }
  // The poster could not deliver a drain (the window is gone): the next row may try again.
  void PostFailed() {
    std::lock_guard guard(lock_);
    outstanding_ = false;
  }

  // UI thread: takes at most maxRows rows (oldest first) and the status text. The outstanding
  // drain counts as done: a later row posts again.
  Batch Take(size_t maxRows = std::numeric_limits<size_t>::max()) {
    std::lock_guard guard(lock_);
    Batch batch;
    if (rows_.size() <= maxRows) {
      batch.rows.swap(rows_);
    } else {
      batch.rows.assign(std::make_move_iterator(rows_.begin()), std::make_move_iterator(rows_.begin() + maxRows));
      rows_.erase(rows_.begin(), rows_.begin() + maxRows);
      batch.more = true;
    }
    batch.status = std::move(status_);
    status_.reset();
    outstanding_ = false;
    return batch;
  }
  // UI thread: drops everything waiting (the views were emptied, the rows' records are gone) and
  // starts a new generation; drains and finish tasks posted before belong to the old one.
  uint64_t Clear() {
    std::lock_guard guard(lock_);
    rows_.clear();
    status_.reset();
    return ++generation_;
  }
  uint64_t Generation() const {
    std::lock_guard guard(lock_);
    return generation_;
  }
  size_t Pending() const {
    std::lock_guard guard(lock_);
    return rows_.size();
  }

 private:
  bool DueLocked(Clock::time_point now) {
    if (outstanding_ || (lastPost_ && now - *lastPost_ < interval_)) return false;
    outstanding_ = true;
    lastPost_ = now;
    return true;
  }

  mutable std::mutex lock_;
  const std::chrono::milliseconds interval_;
  std::vector<Row> rows_;
  std::optional<Status> status_;
  std::optional<Clock::time_point> lastPost_;
  bool outstanding_ = false;
  uint64_t generation_ = 0;
};

}  // namespace tessaly
