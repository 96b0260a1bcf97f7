// A main window for framework tests and helpers to pump its messages.
#pragma once

#include "Framework.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tessaly::test {

// Dispatches what is queued for this thread; a WM_QUIT is taken out and counted.
int PumpMessages();
// Pumps until done() or about five seconds have passed; true when done() held.
bool PumpUntil(const std::function<bool()>& done);

// Creates a hidden 800 x 600 main window (the process-wide one) per test and destroys it after.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<MvChildWindow> main_;
};

// Records string and binary events of one name on a dispatcher.
struct EventLog {
  std::vector<std::wstring> texts;
  std::vector<void*> data;
  int32_t result = 0;

  void WatchString(MvEventHandler& events, const wchar_t* eventName);
  void WatchBinary(MvEventHandler& events, const wchar_t* eventName);
};

}  // namespace tessaly::test
