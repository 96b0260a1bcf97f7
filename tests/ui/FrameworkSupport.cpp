#include "FrameworkSupport.h"

#include <chrono>
#include <thread>

namespace tessaly::test {

int PumpMessages() {
  int quits = 0;
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ++quits;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return quits;
}

bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    PumpMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void MainWindowTest::SetUp() {
  main_ = std::make_unique<MvChildWindow>(L"Tessaly");
  ASSERT_TRUE(main_->Create(nullptr, 0, 0, 800, 600, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
  SetMainWindow(main_.get());
  PumpMessages();
}

void MainWindowTest::TearDown() {
  SetMainWindow(nullptr);
  main_.reset();
  PumpMessages();  // also takes the quit message that destroying a framework window posts
}

namespace {

void RecordString(const wchar_t* text, void* context) {
  static_cast<EventLog*>(context)->texts.emplace_back(text ? text : L"(null)");
}

int32_t RecordBinary(void* data, void* context) {
  auto* log = static_cast<EventLog*>(context);
  log->data.push_back(data);
  return log->result;
}

}  // namespace

void EventLog::WatchString(MvEventHandler& events, const wchar_t* eventName) {
  events.AddStringEventProc(eventName, RecordString, this);
}

void EventLog::WatchBinary(MvEventHandler& events, const wchar_t* eventName) {
  events.AddBinaryEventProc(eventName, RecordBinary, this);
}

}  // namespace tessaly::test
