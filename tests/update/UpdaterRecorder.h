// Subscribes to the four updater events and keeps what arrived, so a test can wait for the end
// of a request and look at its events.
#pragma once

#include "MvUpdater.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace tessaly::test {

class UpdaterRecorder {
 public:
  explicit UpdaterRecorder(MvUpdater& updater) {
    updater.events.AddStringEventProc(kEventCheckCompleted, &UpdaterRecorder::OnText, this);
    updater.events.AddStringEventProc(kEventDownloadCompleted, &UpdaterRecorder::OnText, this);
    updater.events.AddStringEventProc(kEventFileCompleted, &UpdaterRecorder::OnFile, this);
    updater.events.AddBinaryEventProc(kEventChunkDownloaded, &UpdaterRecorder::OnChunk, this);
  }

  // The next check or download result, or "" after the time-out.
  std::wstring WaitForResult(std::chrono::seconds timeout = std::chrono::seconds(60)) {
    std::unique_lock guard(mutex_);
    changed_.wait_for(guard, timeout, [this] { return taken_ < results_.size(); });
    return taken_ < results_.size() ? results_[taken_++] : std::wstring();
  }

  uint64_t ChunkBytes() const {
    std::lock_guard guard(mutex_);
    return chunkBytes_;
  }
  size_t Chunks() const {
    std::lock_guard guard(mutex_);
    return chunks_;
  }
  uint32_t LargestChunk() const {
    std::lock_guard guard(mutex_);
    return largestChunk_;
  }
  size_t FilesCompleted() const {
    std::lock_guard guard(mutex_);
    return filesCompleted_;
  }

 private:
  static void OnText(const wchar_t* text, void* context) {
    auto* self = static_cast<UpdaterRecorder*>(context);
    std::lock_guard guard(self->mutex_);
    self->results_.emplace_back(text);
    self->changed_.notify_all();
  }
  static void OnFile(const wchar_t* text, void* context) {
    auto* self = static_cast<UpdaterRecorder*>(context);
    std::lock_guard guard(self->mutex_);
    if (std::wstring(text) == L"FILEDOWNLOAD_COMPLETED") ++self->filesCompleted_;
  }
  static int32_t OnChunk(void* data, void* context) {
    auto* self = static_cast<UpdaterRecorder*>(context);
    auto* chunk = static_cast<UpdaterChunk*>(data);
    std::lock_guard guard(self->mutex_);
    self->chunkBytes_ += chunk->bytes;
    ++self->chunks_;
    if (chunk->bytes > self->largestChunk_) self->largestChunk_ = chunk->bytes;
    return 0;
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::wstring> results_;
  size_t taken_ = 0;
  uint64_t chunkBytes_ = 0;
  size_t chunks_ = 0;
  uint32_t largestChunk_ = 0;
  size_t filesCompleted_ = 0;
};

}  // namespace tessaly::test
