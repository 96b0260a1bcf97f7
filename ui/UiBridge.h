// The one way from worker threads to the user-interface thread: tasks are queued and a WM_APP
// message is posted to a message-only window of the UI thread, whose procedure runs them there.
// Events of producers that fire on workers (volume enumeration, scan, updater) reach UI handlers
// through RelayBinaryEvent / RelayStringEvent (model/EventRelay.h) on this bridge's channel.
#pragma once

#include "MvError.h"
#include "model/EventRelay.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace tessaly {

inline constexpr UINT kUiBridgeMessage = WM_APP + 1;

class UiBridge {
 public:
  // Creates the message window; call on the UI thread. Check Ready().
  UiBridge();
  // Closes the channel, destroys the window and drops unrun tasks.
  ~UiBridge();
  UiBridge(const UiBridge&) = delete;
  UiBridge& operator=(const UiBridge&) = delete;

  bool Ready() const;
  // Any thread: queues task for the UI thread. False (the task is destroyed unrun) when the window
  // is gone or the message cannot be posted.
  bool Post(UiTask task);
  // Whether the calling thread is the one the bridge was made on.
  bool OnUiThread() const;
  // The channel for relays; closed when the bridge's window goes.
  const std::shared_ptr<RelayChannel>& Channel() const { return channel_; }

  // Relays eventName of source to target (on the UI thread); see model/EventRelay.h.
  bool RelayBinaryEvent(MvEventHandler& source, std::wstring_view eventName, MvEventHandler& target);
  bool RelayStringEvent(MvEventHandler& source, std::wstring_view eventName, MvEventHandler& target);

  // The message window (tests destroy it to check that later posts are refused).
  HWND Window() const;

 private:
  struct State;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  std::shared_ptr<State> state_;
  std::shared_ptr<RelayChannel> channel_;
};

}  // namespace tessaly
