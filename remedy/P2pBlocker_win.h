// The P2P blocker: a thread that, about 15 times a second, ends every running process whose
// executable name is listed as blocked in the registry.
#pragma once

#include "MvError.h"
#include "WinHandles.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace tessaly {

class P2pBlocker {
 public:
  // `keyPath` under HKEY_CURRENT_USER; tests point it at a key of their own.
  explicit P2pBlocker(std::wstring keyPath);
  P2pBlocker();
  ~P2pBlocker();  // stops and joins the thread
  P2pBlocker(const P2pBlocker&) = delete;
  P2pBlocker& operator=(const P2pBlocker&) = delete;

  // Starts the thread at `ratePerSecond` passes; false when it could not be created.
  bool Start(float ratePerSecond = 15.0f);
  // Asks the thread to end after its current pass and waits for it; harmless when not started.
  void Stop();
  bool Running() const { return static_cast<bool>(thread_); }

  // One pass: the names listed now, then every process matched against them. Returns the
  // number of processes ended.
  int RunPass();

  MvError& error() { return *error_; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  std::vector<std::wstring> ReadBlockedNames();
  // Fills processBuffer_ with the system's process list; the NTSTATUS of the query.
  LONG QueryProcesses();

  std::wstring keyPath_;
  win::UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
  float ratePerSecond_ = 15.0f;
  std::atomic<bool> stop_{false};
  win::UniqueKernelHandle wake_;  // signalled by Stop so the sleep between passes ends at once
  std::unique_ptr<MvError> error_;
  DWORD selfId_;
  std::wstring selfName_;
  int snapshots_ = 0;
  std::vector<ULONGLONG> processBuffer_;  // kept between passes; 8-byte aligned as the entries need
};

}  // namespace tessaly
