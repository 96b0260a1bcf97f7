// The UI-thread bridge: work and events from worker threads run on the thread of the bridge.
#include "FrameworkSupport.h"

#include "UiBridge.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

using test::PumpMessages;
using test::PumpUntil;

struct Seen {
  std::vector<DWORD> threads;
  std::vector<std::wstring> texts;
  std::vector<void*> data;
};

void OnVolume(const wchar_t* text, void* context) {
  auto* seen = static_cast<Seen*>(context);
  seen->threads.push_back(GetCurrentThreadId());
  seen->texts.emplace_back(text);
}

int32_t OnVolumeData(void* data, void* context) {
  auto* seen = static_cast<Seen*>(context);
  seen->threads.push_back(GetCurrentThreadId());
  seen->data.push_back(data);
  return 0;
}

TEST(UiBridge, WorkerEventsRunOnTheUiThreadAndNotOnTheWorker) {
  PumpMessages();
  UiBridge bridge;
  ASSERT_TRUE(bridge.Ready());
  EXPECT_TRUE(bridge.OnUiThread());
  MvEventHandler producer;  // a volume enumerator, say
  MvEventHandler ui;
  Seen seen;
  ui.AddStringEventProc(L"DISKSCANEVENT_ONENUMERATEFINISHED", OnVolume, &seen);
  ui.AddBinaryEventProc(L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]", OnVolumeData, &seen);
  ASSERT_TRUE(bridge.RelayStringEvent(producer, L"DISKSCANEVENT_ONENUMERATEFINISHED", ui));
  ASSERT_TRUE(bridge.RelayBinaryEvent(producer, L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]", ui));

  int volume = 0;
  bool workerSawUiThread = true;
  std::thread worker([&] {
    workerSawUiThread = bridge.OnUiThread();
    producer.ExecuteAll_BinaryEventProcs(L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]", &volume);
    producer.ExecuteAll_StringEventProcs(L"DISKSCANEVENT_ONENUMERATEFINISHED", L"Enumeration Completed");
  });
  worker.join();
  EXPECT_FALSE(workerSawUiThread);
  EXPECT_TRUE(seen.threads.empty()) << "nothing runs before the UI thread takes its messages";

  ASSERT_TRUE(PumpUntil([&] { return seen.threads.size() == 2; }));
  for (DWORD thread : seen.threads) EXPECT_EQ(thread, GetCurrentThreadId());
  EXPECT_EQ(seen.data, std::vector<void*>{&volume});
  EXPECT_EQ(seen.texts, std::vector<std::wstring>{L"Enumeration Completed"});
}

TEST(UiBridge, TasksFromManyWorkersAllRunInTheirOrderPerWorker) {
  PumpMessages();
  UiBridge bridge;
  std::vector<int> order[2];
  std::atomic<int> refused{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 2; ++w) {
    workers.emplace_back([&, w] {
      for (int i = 0; i < 200; ++i) {
        if (!bridge.Post([&order, w, i] { order[w].push_back(i); })) ++refused;
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(refused.load(), 0);
  ASSERT_TRUE(PumpUntil([&] { return order[0].size() == 200 && order[1].size() == 200; }));
  for (const std::vector<int>& one : order) {
    for (int i = 0; i < 200; ++i) EXPECT_EQ(one[i], i);
  }
}

TEST(UiBridge, PostingAfterTheWindowIsGoneIsRefusedAndFreesTheWork) {
  PumpMessages();
  auto bridge = std::make_unique<UiBridge>();
  MvEventHandler producer, ui;
  Seen seen;
  ui.AddStringEventProc(L"EVENT_UPDATER_CHECKCOMPLETED", OnVolume, &seen);
  bridge->RelayStringEvent(producer, L"EVENT_UPDATER_CHECKCOMPLETED", ui);

  // Queued but not yet run when the window goes: dropped, not run, and freed.
  auto token = std::make_shared<int>(1);
  ASSERT_TRUE(bridge->Post([token] { *token = 2; }));
  ASSERT_TRUE(DestroyWindow(bridge->Window()));
  EXPECT_FALSE(bridge->Ready());
  EXPECT_EQ(token.use_count(), 1);

  std::thread worker([&] {
    EXPECT_FALSE(bridge->Post([token] { *token = 3; }));
    producer.ExecuteAll_StringEventProcs(L"EVENT_UPDATER_CHECKCOMPLETED", L"late");
  });
  worker.join();
  PumpMessages();
  EXPECT_EQ(*token, 1);
  EXPECT_EQ(token.use_count(), 1);
  EXPECT_TRUE(seen.texts.empty());

  // And once the bridge itself is gone, its relays drop what producers fire.
  bridge.reset();
  std::thread late([&] { producer.ExecuteAll_StringEventProcs(L"EVENT_UPDATER_CHECKCOMPLETED", L"later"); });
  late.join();
  PumpMessages();
  EXPECT_TRUE(seen.texts.empty());
}

TEST(UiBridge, MessageLoopRunsPostedWorkUntilQuit) {
  PumpMessages();
  UiBridge bridge;
  DWORD ranOn = 0;
  std::thread worker([&] {
    bridge.Post([&ranOn] {
      ranOn = GetCurrentThreadId();
      PostQuitMessage(7);
    });
  });
  worker.join();
  EXPECT_EQ(RunMessageLoop(), 7);
  EXPECT_EQ(ranOn, GetCurrentThreadId());
}

}  // namespace
}  // namespace tessaly
