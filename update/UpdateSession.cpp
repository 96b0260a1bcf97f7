#include "UpdateSession.h"

#include "DebugLog.h"
#include "Settings.h"
#include "SystemInfo.h"

#include <chrono>

namespace tessaly {
namespace {

// The configuration value is formatted into a buffer of 512 characters.
constexpr size_t kCheckUrlCharacters = 511;

uint32_t SteadyTicks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

std::wstring UpdateSession::CheckUrlFrom(StringTable& configuration) {
  std::wstring url = GetString(true, L"SETTINGS_UPDATEURL", configuration);
  if (url.size() > kCheckUrlCharacters) url.resize(kCheckUrlCharacters);
  return url;
}

UpdateSession::UpdateSession(UpdateSessionSetup setup, UpdateScreen& screen)
    : setup_(std::move(setup)), screen_(screen), alive_(std::make_shared<UpdateSession*>(this)) {
  if (!setup_.ticks) setup_.ticks = SteadyTicks;
  if (setup_.buildDate.empty()) setup_.buildDate = BuildDateText();
  if (setup_.buildTime.empty()) setup_.buildTime = BuildTimeText();
  std::wstring url = setup_.checkUrl;
  if (url.empty() && setup_.configuration) url = CheckUrlFrom(*setup_.configuration);
  updater_ = std::make_shared<MvUpdater>(std::move(url), setup_.updater);
}

UpdateSession::~UpdateSession() {
  alive_.reset();
  updater_->Shutdown();
  updater_.reset();
}

std::wstring UpdateSession::Text(const wchar_t* id) const { return GetString(false, id, *setup_.language); }

void UpdateSession::Yes() {
  screen_.Show(ViewOf(UpdateDialogState::Checking));
  if (!subscribed_) {
    updater_->events.AddStringEventProc(kEventCheckCompleted, OnUpdaterResult, this);
    updater_->events.AddStringEventProc(kEventDownloadCompleted, OnUpdaterResult, this);
    updater_->events.AddBinaryEventProc(kEventChunkDownloaded, OnUpdaterChunk, this);
    subscribed_ = true;
  }
  Settings settings(*setup_.settings);
  reference_ = ChooseCheckReference(settings.LastCheckDate(), settings.LastCheckTime(), setup_.buildDate,
                                    setup_.buildTime);
  if (reference_.fromRegistry) {
    DebugPrint(L"CheckUpdatesDialogProc(): Checking Set Registry time(%s)/date(%s)\r\n", reference_.time,
               reference_.date);
  } else {
    DebugPrint(L"CheckUpdatesDialogProc(): Checking Build time(%s)/date(%s)\r\n", reference_.time, reference_.date);
  }
  updater_->StartCheck(reference_.date, reference_.time);
}

void UpdateSession::PostToUi(std::function<void(UpdateSession&)> work) {
  std::weak_ptr<UpdateSession*> weak = alive_;
  if (!setup_.post) return;
  setup_.post([weak, work = std::move(work)] {
    std::shared_ptr<UpdateSession*> alive = weak.lock();
    if (alive && (*alive)->screen_.IsOpen()) work(**alive);
  });
}

// Worker thread: the manifest is compared here, so no request ever runs on the UI thread.
void UpdateSession::OnUpdaterResult(const wchar_t* text, void* context) {
  auto& self = *static_cast<UpdateSession*>(context);
  switch (StepFor(text ? text : L"")) {
    case UpdateStep::CompareManifest: {
      CheckOutcome outcome;
      outcome.available = self.updater_->UpdatesAvailable();
      outcome.expectedBytes = ExpectedBytes(self.updater_->AvailableFiles());
      self.PostToUi([outcome](UpdateSession& session) { session.CheckCompleted(outcome); });
      break;
    }
    case UpdateStep::LaunchUpdater:
      self.PostToUi([](UpdateSession& session) { session.DownloadCompleted(); });
      break;
    case UpdateStep::ShowNoUpdates:
      self.PostToUi([](UpdateSession& session) { session.ShowNoUpdates(); });
      break;
    case UpdateStep::Ignore:
      break;
  }
}

// Download worker: the chunk record lives on its stack, so only the numbers travel on.
int32_t UpdateSession::OnUpdaterChunk(void* data, void* context) {
  auto& self = *static_cast<UpdateSession*>(context);
  const auto* chunk = static_cast<const UpdaterChunk*>(data);
  if (!chunk || !self.downloading_) return 0;
  const ProgressReport report = self.progress_.AddChunk(chunk->bytes, self.setup_.ticks());
  self.PostToUi([report](UpdateSession& session) {
    session.screen_.SetProgress(report.position);
    if (report.bytesPerSecond) {
      session.screen_.SetText(kUpdatePrivacyLine2,
                              SpeedLineText(*report.bytesPerSecond, report.receivedBytes, *session.setup_.language));
    }
  });
  return 0;
}

void UpdateSession::CheckCompleted(const CheckOutcome& outcome) {
  if (outcome.available == 0) {
    StoreLastCheck();
    ShowNoUpdates();
    return;
  }
  screen_.Show(ViewOf(UpdateDialogState::Downloading));
  screen_.SetProgress(0);
  // Set before the download worker exists; from then on only that worker touches it.
  progress_.Start(outcome.expectedBytes, setup_.ticks());
  downloading_ = true;
  updater_->StartDownload();
  screen_.SetText(kUpdateStatusLine, DownloadingStatusText(outcome.expectedBytes, *setup_.language));
}

void UpdateSession::DownloadCompleted() {
  StoreLastCheck();
  screen_.Show(ViewOf(UpdateDialogState::Launching));
  screen_.SetProgress(1000);  // every file is in place, whatever the manifest's sizes said
  if (updater_->LaunchUpdater(setup_.mutexCode, updater_->ProgramFolder() + L"Tessaly.exe")) {
    screen_.End(kUpdateResultLaunched);
  }
}

void UpdateSession::ShowNoUpdates() { screen_.Show(ViewOf(UpdateDialogState::NoUpdates)); }

void UpdateSession::StoreLastCheck() {
  const std::wstring date = CurrentDateText();
  const std::wstring time = CurrentTimeText();
  Settings(*setup_.settings).SetLastCheck(date, time);
}

}  // namespace tessaly
