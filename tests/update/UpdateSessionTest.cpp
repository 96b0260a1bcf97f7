// The update dialog's run without its window: a recording screen stands in for the dialog, a
// queue for the UI thread (drained by the test), the fake HTTP client for the server.
#include "UpdateSession.h"

#include "FakeHttpClient.h"
#include "LogCapture.h"
#include "Paths.h"
#include "Settings.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <regex>
#include <thread>

namespace tessaly {
namespace {

using test::FakeHttpClient;
using test::FakeReply;

constexpr char kCheckUrl[] = "http://updates.test/tessaly/update.xml";
constexpr char kCheckAddress[] = "http://updates.test/tessaly/update.xml?PV=1.3.1.170&NT=TRUE";

// The calls the session makes on its screen, in order.
struct ScreenCall {
  enum Kind { Show, Text, Progress, End } kind;
  UpdateDialogView view{};
  int controlId = 0;
  std::wstring text;
  uint32_t value = 0;
};

class RecordingScreen final : public UpdateScreen {
 public:
  bool IsOpen() const override { return open; }
  void Show(const UpdateDialogView& view) override { calls.push_back({ScreenCall::Show, view}); }
  void SetText(int controlId, const std::wstring& text) override {
    calls.push_back({ScreenCall::Text, {}, controlId, text});
  }
  void SetProgress(uint32_t position) override { calls.push_back({ScreenCall::Progress, {}, 0, {}, position}); }
  void End(int result) override {
    calls.push_back({ScreenCall::End, {}, 0, {}, static_cast<uint32_t>(result)});
    open = false;
  }

  // The status line of the last state entered.
  const wchar_t* LastStatusId() const {
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
      if (call->kind == ScreenCall::Show) return call->view.statusTextId;
    }
    return nullptr;
  }
  std::vector<const ScreenCall*> Of(ScreenCall::Kind kind, int controlId = 0) const {
    std::vector<const ScreenCall*> found;
    for (const ScreenCall& call : calls) {
      if (call.kind == kind && call.controlId == controlId) found.push_back(&call);
    }
    return found;
  }

  bool open = true;
  std::vector<ScreenCall> calls;
};

// Stands in for the UI thread's message queue.
class TaskQueue {
 public:
  UiPoster Poster() {
    return [this](UiTask task) {
      std::lock_guard guard(mutex_);
      tasks_.push_back(std::move(task));
      changed_.notify_all();
      return true;
    };
  }
  // Runs queued tasks on this thread until done() holds; false after the time-out.
  bool RunUntil(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      std::unique_lock guard(mutex_);
      if (!changed_.wait_until(guard, end, [this] { return !tasks_.empty(); })) return done();
      UiTask task = std::move(tasks_.front());
      tasks_.pop_front();
      guard.unlock();
      task();
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<UiTask> tasks_;
};

std::string Manifest(const std::string& files) {
  return "<?xml version=\"1.0\"?>\r\n<MorvaneSoftware><Tessaly><Updater>\r\n" + files +
         "</Updater></Tessaly></MorvaneSoftware>\r\n";
}

std::string FileEntry(const std::string& name, const std::string& date, const std::string& time, size_t size,
                      const std::string& url) {
  return "<File Date=\"" + date + "\" Time=\"" + time + "\" Build=\"1.3.1.171\" FileName=\"" + name + "\" Size=\"" +
         std::to_string(size) + "\">" + url + "</File>\r\n";
}

class UpdateSessionFixture : public testing::Test {
 protected:
  UpdateSessionFixture() {
    LoadLanguageXMLData(language,
                        L"<MorvaneSoftware><Tessaly><Resource><AvailableLanguages>"
                        L"<Language LangCode=\"UK\">English(UK)</Language></AvailableLanguages>"
                        L"<String SID=\"IDS_DOWNLOADINGUPDATES\" Lang=\"UK\">Downloading updates...</String>"
                        L"<String SID=\"IDS_KB\" Lang=\"UK\">KB</String>"
                        L"<String SID=\"IDS_MB\" Lang=\"UK\">MB</String>"
                        L"<String SID=\"IDS_BYTES\" Lang=\"UK\"> Bytes</String>"
                        L"</Resource></Tessaly></MorvaneSoftware>");
    SelectLanguage(language, L"English(UK)");
  }

  void Open() {
    UpdateSessionSetup setup;
    setup.language = &language;
    setup.settings = &settings;
    setup.checkUrl = L"http://updates.test/tessaly/update.xml";
    setup.updater.programFolder = tree.RootText() + kPathSeparator;
    setup.updater.productVersion = L"1.3.1.170";
    setup.updater.overrideWindowsVersion = true;
    setup.updater.client = client;
    setup.mutexCode = L"TessalySessionTestMutex";
    setup.buildDate = L"Jul 29 2009";
    setup.buildTime = L"11:17:39";
    setup.ticks = [this] { return tick += tickStep; };
    setup.post = queue.Poster();
    session = std::make_unique<UpdateSession>(std::move(setup), screen);
  }

  // The last state entered.
  const UpdateDialogView* LastView() const {
    auto shows = screen.Of(ScreenCall::Show);
    return shows.empty() ? nullptr : &shows.back()->view;
  }

  // Runs the UI side until a state that closes after ms is entered.
  bool RunUntilClosing(uint32_t ms) {
    return queue.RunUntil([&] { return LastView() && LastView()->closeAfterMilliseconds == ms; });
  }

  bool RunUntilStatus(const wchar_t* statusId) {
    return queue.RunUntil([&] {
      const wchar_t* last = screen.LastStatusId();
      return last && std::wstring(last) == statusId;
    });
  }

  std::optional<std::wstring> LastCheckDate() { return Settings(settings).LastCheckDate(); }
  std::optional<std::wstring> LastCheckTime() { return Settings(settings).LastCheckTime(); }

  test::TempTree tree;
  StringTable language;
  MemorySettingsStore settings;
  std::shared_ptr<FakeHttpClient> client = std::make_shared<FakeHttpClient>();
  RecordingScreen screen;
  TaskQueue queue;
  std::atomic<uint32_t> tick{5000};
  uint32_t tickStep = 100;  // milliseconds per chunk
  std::unique_ptr<UpdateSession> session;
};

TEST_F(UpdateSessionFixture, NothingNewerWritesTheLastCheckAndClosesAfterTwoSeconds) {
  client->Serve(kCheckAddress, {.body = Manifest(FileEntry("Tessaly.exe", "07-29-2009", "11:17:39", 10, "http://x/a"))});
  Open();
  test::LogCapture log;
  session->Yes();
  ASSERT_FALSE(screen.calls.empty());
  EXPECT_STREQ(screen.calls.front().view.statusTextId, L"IDS_CHECKINGFORUPDATES");
  ASSERT_TRUE(RunUntilStatus(L"IDS_NOUPDATESAVAILABLE"));

  EXPECT_EQ(LastView()->closeAfterMilliseconds, 2000u);
  EXPECT_FALSE(LastView()->noEnabled);
  EXPECT_FALSE(session->Reference().fromRegistry) << "no values: the build stamp";
  EXPECT_EQ(log.Count(L"CheckUpdatesDialogProc(): Checking Build time(11:17:39)/date(Jul 29 2009)\r\n"), 1u);
  ASSERT_TRUE(LastCheckDate() && LastCheckTime());
  EXPECT_TRUE(std::regex_match(*LastCheckDate(), std::wregex(L"(0[1-9]|1[0-2])-[0-3][0-9]-20[0-9]{2}"))) << *LastCheckDate();
  EXPECT_TRUE(std::regex_match(*LastCheckTime(), std::wregex(L"[0-2][0-9]:[0-5][0-9]:[0-5][0-9]"))) << *LastCheckTime();
  EXPECT_TRUE(screen.Of(ScreenCall::End).empty()) << "the dialog's timer closes it";
}

TEST_F(UpdateSessionFixture, TheLastCheckIsTheReferenceWhenBothValuesAreThere) {
  // Newer than the build stamp but not than the last check.
  client->Serve(kCheckAddress, {.body = Manifest(FileEntry("Tessaly.exe", "08-01-2009", "09:00:00", 10, "http://x/a"))});
  Settings(settings).SetLastCheck(L"08-01-2009", L"10:00:00");
  Open();
  test::LogCapture log;
  session->Yes();
  ASSERT_TRUE(RunUntilStatus(L"IDS_NOUPDATESAVAILABLE"));
  EXPECT_TRUE(session->Reference().fromRegistry);
  EXPECT_EQ(log.Count(L"CheckUpdatesDialogProc(): Checking Set Registry time(10:00:00)/date(08-01-2009)\r\n"), 1u);
  EXPECT_NE(LastCheckDate(), L"08-01-2009") << "rewritten with today";
}

TEST_F(UpdateSessionFixture, FailuresShowNoUpdatesAndKeepTheLastCheck) {
  struct Case {
    const char* name;
    bool manifestServed;
    bool fileServed;
  } cases[] = {
      {"check fails (404)", false, false},
      {"download fails (404)", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    client = std::make_shared<FakeHttpClient>();
    screen = RecordingScreen();
    if (c.manifestServed) {
      client->Serve(kCheckAddress, {.body = Manifest(FileEntry("a.txt", "08-01-2009", "09:00:00", 10, "http://x/a"))});
    }
    Open();
    session->Yes();
    ASSERT_TRUE(RunUntilStatus(L"IDS_NOUPDATESAVAILABLE"));
    EXPECT_EQ(LastView()->closeAfterMilliseconds, 2000u);
    EXPECT_FALSE(LastCheckDate().has_value());
    EXPECT_FALSE(LastCheckTime().has_value());
    session.reset();
  }
}

TEST_F(UpdateSessionFixture, ThreeFilesOfThreeMegabytesReach1000WithASpeedLineEverySecond) {
  const size_t sizes[] = {1048576, 1048576, 1048576};
  std::string files;
  for (int i = 0; i < 3; ++i) {
    const std::string url = "http://x/f" + std::to_string(i);
    client->Serve(url, {.body = std::string(sizes[i], static_cast<char>('a' + i))});
    files += FileEntry("f" + std::to_string(i) + ".bin", "08-01-2009", "09:00:00", sizes[i], url);
  }
  client->Serve(kCheckAddress, {.body = Manifest(files)});
  Open();
  session->Yes();
  ASSERT_TRUE(RunUntilStatus(L"IDS_DOWNLOADINGUPDATES"));
  ASSERT_TRUE(RunUntilClosing(700)) << "the download ends";

  const auto status = screen.Of(ScreenCall::Text, kUpdateStatusLine);
  ASSERT_EQ(status.size(), 1u);
  EXPECT_EQ(status[0]->text, L"Downloading updates... 3.00MB");

  // Chunk positions climb to 1000 only with the last byte; the completion sets 1000 again.
  std::vector<uint32_t> positions;
  for (const ScreenCall* call : screen.Of(ScreenCall::Progress)) positions.push_back(call->value);
  ASSERT_GE(positions.size(), 3u);
  EXPECT_EQ(positions.front(), 0u) << "the bar starts empty";
  const size_t chunks = positions.size() - 2;  // less the start and the completion
  EXPECT_EQ(chunks, 3u * (1048576 / 3000 + 1)) << "reads of at most 3000 bytes";
  for (size_t i = 1; i + 1 < positions.size(); ++i) {
    EXPECT_LE(positions[i - 1], positions[i]);
    if (i + 2 < positions.size()) {
      EXPECT_LT(positions[i], 1000u) << "chunk " << i;
    }
  }
  EXPECT_EQ(positions[positions.size() - 2], 1000u) << "the last chunk";
  EXPECT_EQ(positions.back(), 1000u);

  // 100 ms of the clock per chunk: a line every tenth chunk, each with the rate of its second.
  const auto speed = screen.Of(ScreenCall::Text, kUpdatePrivacyLine2);
  EXPECT_EQ(speed.size(), chunks / 10);
  ASSERT_FALSE(speed.empty());
  EXPECT_EQ(speed[0]->text, SpeedLineText(30000, 30000, language));

  // Downloaded, noted, then the hand-over: without an "Updater.exe" that runs the dialog is left
  // to its 700 ms timer.
  EXPECT_STREQ(screen.LastStatusId(), L"IDS_DOWNLOADINGUPDATES");
  EXPECT_FALSE(LastView()->noEnabled);
  EXPECT_TRUE(LastCheckDate().has_value());
  EXPECT_TRUE(screen.Of(ScreenCall::End).empty());
}

TEST_F(UpdateSessionFixture, ManifestSizesOfZeroNeverDivide) {
  client->Serve("http://x/a", {.body = std::string(20000, 'z')});
  client->Serve(kCheckAddress, {.body = Manifest(FileEntry("a.bin", "08-01-2009", "09:00:00", 0, "http://x/a"))});
  Open();
  session->Yes();
  ASSERT_TRUE(RunUntilStatus(L"IDS_DOWNLOADINGUPDATES"));
  ASSERT_TRUE(RunUntilClosing(700));
  const auto progress = screen.Of(ScreenCall::Progress);
  ASSERT_GE(progress.size(), 3u);
  for (size_t i = 0; i + 1 < progress.size(); ++i) EXPECT_EQ(progress[i]->value, 0u) << i;
  EXPECT_EQ(progress.back()->value, 1000u) << "full once the file is in place";
  EXPECT_EQ(screen.Of(ScreenCall::Text, kUpdateStatusLine)[0]->text, L"Downloading updates... 0 Bytes");
}

TEST_F(UpdateSessionFixture, ResultsAfterTheDialogClosedChangeNothing) {
  client->Serve(kCheckAddress, {.body = Manifest(FileEntry("Tessaly.exe", "07-29-2009", "11:17:39", 10, "http://x/a"))});
  Open();
  session->Yes();
  const size_t shown = screen.calls.size();
  screen.open = false;
  // The check's result still arrives: run what comes for a second.
  queue.RunUntil([] { return false; }, std::chrono::seconds(1));
  EXPECT_EQ(screen.calls.size(), shown);
}

TEST_F(UpdateSessionFixture, ClosingDuringAHangingCheckReturnsAtOnceAndTheLateAnswerReachesNoOne) {
  client->Serve(kCheckAddress, {.body = Manifest(FileEntry("Tessaly.exe", "08-01-2009", "09:00:00", 10, "http://x/a"))});
  client->HoldRequests();
  Open();
  session->Yes();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (client->RequestsWaiting() == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(client->RequestsWaiting(), 1u);

  // Without an answer the session would wait for ever; the watchdog answers after 10 s.
  std::atomic<bool> closed{false};
  std::atomic<bool> answeredByWatchdog{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 1000 && !closed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!closed) {
      answeredByWatchdog = true;
      client->ReleaseRequests();
    }
  });
  const size_t shown = screen.calls.size();
  session.reset();
  closed = true;
  watchdog.join();
  EXPECT_FALSE(answeredByWatchdog) << "closing waited for the hanging request";

  // The server answers late: the worker finishes on its own, and lets go of the client last.
  client->ReleaseRequests();
  while (client.use_count() > 1 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(client.use_count(), 1) << "the worker still runs";
  queue.RunUntil([] { return false; }, std::chrono::seconds(1));
  EXPECT_EQ(screen.calls.size(), shown);
  EXPECT_FALSE(LastCheckDate()) << "a check that ended after the dialog stores nothing";
}

}  // namespace
}  // namespace tessaly
