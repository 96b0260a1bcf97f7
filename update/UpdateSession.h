// One run of the update dialog without its window: the Yes answer, the check against the last
// check (or the build stamp), the download with its progress, the "LastCheck_Date" and
// "LastCheck_Time" values, and the hand-over to "Updater.exe". The updater's events arrive on
// its worker threads; the session counts there and hands plain values to the UI thread through
// the poster, where it tells the screen what to draw.
#pragma once

#include "model/EventRelay.h"
#include "MvUpdater.h"
#include "SettingsStore.h"
#include "StringTable.h"
#include "UpdateDialogModel.h"
#include "UpdateProgress.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tessaly {

// What the dialog draws; called on the UI thread only.
class UpdateScreen {
 public:
  virtual ~UpdateScreen() = default;
  // False once the dialog is closed: later results change nothing.
  virtual bool IsOpen() const = 0;
  // Enters a state: enabling, visibility, the texts of its string IDs and its close timer.
  virtual void Show(const UpdateDialogView& view) = 0;
  virtual void SetText(int controlId, const std::wstring& text) = 0;
  virtual void SetProgress(uint32_t position) = 0;
  // Ends the dialog with result (5: the updater runs and the program must end).
  virtual void End(int result) = 0;
};

inline constexpr int kUpdateResultLaunched = 5;

struct UpdateSessionSetup {
  StringTable* language = nullptr;
  StringTable* configuration = nullptr;  // "SETTINGS_UPDATEURL"; ignored when checkUrl is given
  SettingsStore* settings = nullptr;
  std::wstring checkUrl;
  UpdaterOptions updater;
  std::wstring mutexCode;         // the single-instance mutex the updater waits for
  std::wstring buildDate;         // the build stamp when empty
  std::wstring buildTime;
  std::function<uint32_t()> ticks;  // a millisecond clock; the steady clock when empty
  UiPoster post;                    // runs a task on the UI thread
};

class UpdateSession {
 public:
  UpdateSession(UpdateSessionSetup setup, UpdateScreen& screen);
  // Stops the updater's transfers and events without waiting for a request that hangs in the
  // network: closing the dialog never freezes the window.
  ~UpdateSession();
  UpdateSession(const UpdateSession&) = delete;
  UpdateSession& operator=(const UpdateSession&) = delete;

  // UI thread: the user answered Yes.
  void Yes();

  const CheckReference& Reference() const { return reference_; }
  MvUpdater& Updater() { return *updater_; }

  // The check address: "SETTINGS_UPDATEURL" as the dialog formats it (at most 511 characters).
  static std::wstring CheckUrlFrom(StringTable& configuration);

 private:
  struct CheckOutcome {
    size_t available = 0;
    uint64_t expectedBytes = 0;
  };
  static void OnUpdaterResult(const wchar_t* text, void* context);
  static int32_t OnUpdaterChunk(void* data, void* context);
  void PostToUi(std::function<void(UpdateSession&)> work);
  void CheckCompleted(const CheckOutcome& outcome);
  void DownloadCompleted();
  void ShowNoUpdates();
  void StoreLastCheck();
  std::wstring Text(const wchar_t* id) const;

  UpdateSessionSetup setup_;
  UpdateScreen& screen_;
  CheckReference reference_;
  bool subscribed_ = false;
  DownloadProgress progress_;  // the download worker's, once it runs
  // The check's manifest arrives in chunks too; only those of the download are progress.
  std::atomic<bool> downloading_{false};
  // Tasks on their way to the UI thread hold a weak reference: none runs after the session.
  std::shared_ptr<UpdateSession*> alive_;
  // Shared with its workers; shut down first, so no handler above runs after the session.
  std::shared_ptr<MvUpdater> updater_;
};

}  // namespace tessaly
