// Carries named events from worker threads to the user-interface thread. A relay is registered on
// a producer's dispatcher (which fires on a worker thread); each firing is copied (string
// payloads) or passed as is (binary payloads: the pointer must stay valid until delivery) into a
// task that a poster hands to the UI thread, where the same event is fired on the target
// dispatcher. The worker never runs a UI handler; a relayed binary event returns 0 to it.
//
// The poster is the only code that knows about threads: in the program it is the UiBridge's
// window-message poster; tests may use a plain queue.
#pragma once

#include "MvEventHandler.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace tessaly {

// A unit of work for the UI thread.
using UiTask = std::function<void()>;
// Queues a task for the UI thread; false when it cannot (the UI side is gone), in which case the
// task is destroyed unrun.
using UiPoster = std::function<bool(UiTask)>;

// Shared by a poster's owner and every relay made with it; Close() makes later firings drop.
class RelayChannel {
 public:
  explicit RelayChannel(UiPoster poster) : poster_(std::move(poster)) {}
  bool Post(UiTask task) const;
  void Close();
  bool Closed() const;

 private:
  mutable std::mutex mutex_;
  UiPoster poster_;
};

// Registers on source a procedure for eventName that re-fires the event on target on the UI thread.
// The relay records live until the process ends (a dispatcher cannot unregister), so a producer
// that outlives the channel only finds it closed. target must live while the channel is open.
bool RelayBinaryEvent(const std::shared_ptr<RelayChannel>& channel, MvEventHandler& source,
                      std::wstring_view eventName, MvEventHandler& target);
bool RelayStringEvent(const std::shared_ptr<RelayChannel>& channel, MvEventHandler& source,
                      std::wstring_view eventName, MvEventHandler& target);

}  // namespace tessaly
