#include "EventRelay.h"

#include <deque>

namespace tessaly {

bool RelayChannel::Post(UiTask task) const {
  std::lock_guard guard(mutex_);
  if (!poster_) return false;
  return poster_(std::move(task));
}

void RelayChannel::Close() {
  UiPoster closed;
  {
    std::lock_guard guard(mutex_);
    closed = std::move(poster_);
    poster_ = nullptr;
  }
}

bool RelayChannel::Closed() const {
  std::lock_guard guard(mutex_);
  return !poster_;
}

namespace {

struct RelayRecord {
  std::weak_ptr<RelayChannel> channel;
  std::wstring eventName;
  MvEventHandler* target;
};

// Dispatchers keep raw context pointers and cannot unregister, so the records live until the
// process ends; a record whose channel has gone drops what it is given.
RelayRecord* NewRecord(const std::shared_ptr<RelayChannel>& channel, std::wstring_view eventName,
                       MvEventHandler& target) {
  static std::mutex mutex;
  static std::deque<RelayRecord> records;
  std::lock_guard guard(mutex);
  return &records.emplace_back(RelayRecord{channel, std::wstring(eventName), &target});
}

int32_t RelayBinary(void* data, void* context) {
  const auto* record = static_cast<RelayRecord*>(context);
  if (std::shared_ptr<RelayChannel> channel = record->channel.lock()) {
    channel->Post([record, data] { record->target->ExecuteAll_BinaryEventProcs(record->eventName, data); });
  }
  return 0;
}

void RelayString(const wchar_t* text, void* context) {
  const auto* record = static_cast<RelayRecord*>(context);
  if (std::shared_ptr<RelayChannel> channel = record->channel.lock()) {
    channel->Post([record, copy = std::wstring(text ? text : L"")] {
      record->target->ExecuteAll_StringEventProcs(record->eventName, copy.c_str());
    });
  }
}

}  // namespace

bool RelayBinaryEvent(const std::shared_ptr<RelayChannel>& channel, MvEventHandler& source,
                      std::wstring_view eventName, MvEventHandler& target) {
  if (!channel) return false;
  return source.AddBinaryEventProc(eventName, RelayBinary, NewRecord(channel, eventName, target));
}

bool RelayStringEvent(const std::shared_ptr<RelayChannel>& channel, MvEventHandler& source,
                      std::wstring_view eventName, MvEventHandler& target) {
  if (!channel) return false;
  return source.AddStringEventProc(eventName, RelayString, NewRecord(channel, eventName, target));
}

}  // namespace tessaly
