// Events fired on a worker thread reach their handlers on the thread that drains the poster.
#include "model/EventRelay.h"

#include <gtest/gtest.h>

#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

// A poster in the manner of the window bridge: tasks wait in a queue until the "UI" thread
// (the test's own) drains it.
class FakeUiQueue {
 public:
  UiPoster Poster() {
    return [this](UiTask task) {
      std::lock_guard guard(mutex_);
      if (closed_) return false;
      tasks_.push_back(std::move(task));
      return true;
    };
  }
  size_t Drain() {
    std::deque<UiTask> batch;
    {
      std::lock_guard guard(mutex_);
      batch.swap(tasks_);
    }
    for (UiTask& task : batch) task();
    return batch.size();
  }
  void Close() {
    std::lock_guard guard(mutex_);
    closed_ = true;
  }

 private:
  std::mutex mutex_;
  std::deque<UiTask> tasks_;
  bool closed_ = false;
};

struct Seen {
  std::vector<std::thread::id> threads;
  std::vector<void*> data;
  std::vector<std::wstring> texts;
};

int32_t OnBinary(void* data, void* context) {
  auto* seen = static_cast<Seen*>(context);
  seen->threads.push_back(std::this_thread::get_id());
  seen->data.push_back(data);
  return 7;
}

void OnString(const wchar_t* text, void* context) {
  auto* seen = static_cast<Seen*>(context);
  seen->threads.push_back(std::this_thread::get_id());
  seen->texts.emplace_back(text);
}

TEST(EventRelay, WorkerEventsRunOnTheDrainingThreadOnly) {
  FakeUiQueue queue;
  auto channel = std::make_shared<RelayChannel>(queue.Poster());
  MvEventHandler producer;  // fires on the worker
  MvEventHandler ui;        // where the UI handlers are
  ui.SetNamespace(L"{NS:Tessaly}");
  Seen seen;
  ASSERT_TRUE(ui.AddBinaryEventProc(L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]", OnBinary, &seen));
  ASSERT_TRUE(ui.AddStringEventProc(L"DISKSCANEVENT_ONENUMERATEFINISHED", OnString, &seen));
  ASSERT_TRUE(RelayBinaryEvent(channel, producer, L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]", ui));
  ASSERT_TRUE(RelayStringEvent(channel, producer, L"DISKSCANEVENT_ONENUMERATEFINISHED", ui));

  int volume = 0;
  int32_t workerResult = -1;
  std::thread worker([&] {
    workerResult = producer.ExecuteAll_BinaryEventProcs(L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]", &volume);
    std::wstring text = L"Enumeration Completed";
    producer.ExecuteAll_StringEventProcs(L"DISKSCANEVENT_ONENUMERATEFINISHED", text.c_str());
    text.assign(L"overwritten");  // the relay copied the text
  });
  worker.join();
  EXPECT_TRUE(seen.threads.empty()) << "a handler ran on the worker";
  EXPECT_EQ(workerResult, 0);

  EXPECT_EQ(queue.Drain(), 2u);
  ASSERT_EQ(seen.threads.size(), 2u);
  for (std::thread::id id : seen.threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(seen.data, std::vector<void*>{&volume});
  EXPECT_EQ(seen.texts, std::vector<std::wstring>{L"Enumeration Completed"});
}

TEST(EventRelay, FiringAfterTheUiSideIsGoneRunsNothing) {
  FakeUiQueue queue;
  auto channel = std::make_shared<RelayChannel>(queue.Poster());
  MvEventHandler producer;
  MvEventHandler ui;
  Seen seen;
  ui.AddStringEventProc(L"EVENT_X", OnString, &seen);
  ASSERT_TRUE(RelayStringEvent(channel, producer, L"EVENT_X", ui));

  queue.Close();  // the poster refuses
  producer.ExecuteAll_StringEventProcs(L"EVENT_X", L"refused");
  channel->Close();  // the channel itself closed
  EXPECT_TRUE(channel->Closed());
  EXPECT_FALSE(channel->Post([] {}));
  producer.ExecuteAll_StringEventProcs(L"EVENT_X", L"closed");
  channel.reset();  // and gone altogether
  producer.ExecuteAll_StringEventProcs(L"EVENT_X", L"gone");
  EXPECT_EQ(queue.Drain(), 0u);
  EXPECT_TRUE(seen.texts.empty());
}

}  // namespace
}  // namespace tessaly
