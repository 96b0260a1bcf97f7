// An HTTP client for tests of the updater's logic: replies by address, chunked reads, and the
// faults a real server can show.
#pragma once

#include "HttpClient.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tessaly::test {

struct FakeReply {
  uint32_t status = 200;
  std::string body;
  // Content-Length as sent: "" means the body's own length, "-" means no header.
  std::string contentLength;
  bool openFails = false;
  int64_t failReadAfter = -1;  // a read at or past this many bytes fails
  uint32_t readLimit = 3000;   // the most one read hands out
};

class FakeHttpClient final : public HttpClient {
 public:
  void Serve(const std::string& url, FakeReply reply) {
    std::lock_guard guard(mutex_);
    replies_[url] = std::move(reply);
  }
  std::vector<std::string> Requests() const {
    std::lock_guard guard(mutex_);
    return requests_;
  }

  // While held, every request waits in Open, as with a server that accepts and never answers.
  void HoldRequests() {
    std::lock_guard guard(mutex_);
    held_ = true;
  }
  void ReleaseRequests() {
    std::lock_guard guard(mutex_);
    held_ = false;
    changed_.notify_all();
  }
  size_t RequestsWaiting() const {
    std::lock_guard guard(mutex_);
    return waiting_;
  }

  std::unique_ptr<HttpResponse> Open(const std::string& ansiUrl) override {
    std::unique_lock guard(mutex_);
    requests_.push_back(ansiUrl);
    ++waiting_;
    changed_.wait(guard, [this] { return !held_; });
    --waiting_;
    auto found = replies_.find(ansiUrl);
    if (found == replies_.end()) {
      FakeReply missing;
      missing.status = 404;
      missing.body = "not found";
      return std::make_unique<Response>(missing);
    }
    if (found->second.openFails) {
      errno = ECONNREFUSED;
      return nullptr;
    }
    return std::make_unique<Response>(found->second);
  }

 private:
  class Response final : public HttpResponse {
   public:
    explicit Response(FakeReply reply) : reply_(std::move(reply)) {}
    std::optional<uint32_t> StatusCode() override { return reply_.status; }
    std::optional<std::string> ContentLength() override {
      if (reply_.contentLength == "-") return std::nullopt;
      return reply_.contentLength.empty() ? std::to_string(reply_.body.size()) : reply_.contentLength;
    }
    int64_t Read(void* buffer, uint32_t size) override {
      if (reply_.failReadAfter >= 0 && static_cast<int64_t>(at_) >= reply_.failReadAfter) {
        errno = ETIMEDOUT;
        return -1;
      }
      size_t count = std::min<size_t>({size, reply_.readLimit, reply_.body.size() - at_});
      std::memcpy(buffer, reply_.body.data() + at_, count);
      at_ += count;
      return static_cast<int64_t>(count);
    }

   private:
    FakeReply reply_;
    size_t at_ = 0;
  };

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  size_t waiting_ = 0;
  std::map<std::string, FakeReply> replies_;
  std::vector<std::string> requests_;
};

}  // namespace tessaly::test
