// Finds out over HTTP whether newer program files exist, downloads them into "UpdatedFiles"
// below the program folder and hands over to "Updater.exe". Every request runs on a worker
// thread of its own; results and progress leave as events on `events`, raised on that thread:
//
//   "EVENT_UPDATER_CHECKCOMPLETED"    text "CHECK_COMPLETED" / "CHECK_FAILED"
//   "EVENT_UPDATER_CHUNKDOWNLOADED"   binary, UpdaterChunk*
//   "EVENT_UPDATER_FILECOMPLETED"     text "FILEDOWNLOAD_COMPLETED"
//   "EVENT_UPDATER_DOWNLOADCOMPLETED" text "DOWNLOAD_COMPLETED" when every file is in place,
//                                     "DOWNLOAD_FAILED" when one or more are not
//
// Owned through a shared_ptr, each worker keeps the updater alive, so its owner can let go at
// once with Shutdown() even while a request hangs in the network (WinINet's time-outs do not
// bound every read): the worker ends on its own later and nobody hears of it.
#pragma once

#include "HttpClient.h"
#include "MvError.h"
#include "MvEventHandler.h"
#include "UpdateManifest.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {

inline constexpr const wchar_t* kEventCheckCompleted = L"EVENT_UPDATER_CHECKCOMPLETED";
inline constexpr const wchar_t* kEventChunkDownloaded = L"EVENT_UPDATER_CHUNKDOWNLOADED";
inline constexpr const wchar_t* kEventFileCompleted = L"EVENT_UPDATER_FILECOMPLETED";
inline constexpr const wchar_t* kEventDownloadCompleted = L"EVENT_UPDATER_DOWNLOADCOMPLETED";

// Payload of "EVENT_UPDATER_CHUNKDOWNLOADED".
struct UpdaterChunk {
  const wchar_t* url = nullptr;
  uint32_t bytes = 0;
};

inline constexpr uint32_t kManifestCapacity = 65536;
inline constexpr uint32_t kDownloadChunk = 8192;

struct UpdaterOptions {
  std::wstring programFolder;   // ends in the separator; the running program's folder when empty
  std::wstring productVersion;  // sent as PV; the program's product version when empty
  bool windowsVersion4 = false; // sent as NT=FALSE; the system's answer unless overridden
  bool overrideWindowsVersion = false;
  std::shared_ptr<HttpClient> client;  // the system's client when null
  HttpClientOptions http;
};

class MvUpdater : public std::enable_shared_from_this<MvUpdater> {
 public:
  explicit MvUpdater(std::wstring checkUrl, UpdaterOptions options = {});
  // Waits for the workers it started; when a worker holds the last reference, it runs on that
  // worker, which is then left to end by itself.
  ~MvUpdater();
  MvUpdater(const MvUpdater&) = delete;
  MvUpdater& operator=(const MvUpdater&) = delete;

  MvEventHandler events;

  // Reference date (mm-dd-yyyy or "Mmm dd yyyy") and time (hh:mm:ss) of the check. Returns 1.
  int StartCheck(std::wstring localDate, std::wstring localTime);
  int StartDownload();

  // Compares the manifest with the reference (checking first when no manifest is there) and
  // returns how many files are newer. Names that would leave "UpdatedFiles" are refused.
  size_t UpdatesAvailable();
  std::vector<UpdateFile> AvailableFiles() const;
  std::wstring ManifestText() const;

  // Downloads every available file; true when all of them were put in place.
  bool DownloadAvailableFiles();
  // Content-Length of url, or -1.
  int64_t GetFileSize(const std::wstring& url);
  // Bytes received into destination, or -1 when the request failed, the status was not 200, a
  // read failed, fewer bytes came than the server announced, or more came than fit.
  int64_t DownloadFileToMemory(const std::wstring& url, uint8_t* destination, uint32_t capacity);

  // Makes running and later transfers fail at their next chunk (the dialog was closed). The
  // destructor does the same before it waits for the workers.
  void Cancel() { cancelled_ = true; }
  // Cancels and raises no event from now on; an event handler still running has returned when
  // this returns. Does not wait for a request in progress.
  void Shutdown();

  // Starts programFolder + "UpdatedFiles\Updater.exe" hidden; false when it could not be started.
  bool LaunchUpdater(const std::wstring& mutexCode, const std::wstring& executeOnEnd);

  const std::wstring& ProgramFolder() const { return programFolder_; }
  const std::wstring& CheckUrl() const { return checkUrl_; }

 private:
  void StartWorker(int command);
  void Worker(int command);
  bool RunCheck();
  bool DownloadOne(const UpdateFile& file);
  void RaiseText(const wchar_t* event, const wchar_t* text);
  void RaiseBinary(const wchar_t* event, void* data);

  std::mutex lock_;  // the start of a request, and the worker list
  std::vector<std::thread> workers_;
  mutable std::mutex dataLock_;  // manifest text, reference and available files
  std::wstring manifestText_;
  std::wstring checkUrl_;
  std::wstring productElement_ = L"Tessaly";
  std::wstring localTime_;
  std::wstring localDate_;
  std::vector<UpdateFile> availableFiles_;
  std::wstring programFolder_;
  std::wstring productVersion_;
  bool windowsVersion4_ = false;
  std::shared_ptr<HttpClient> client_;
  std::atomic<bool> cancelled_{false};
  // Held while an event is raised; recursive because a handler may shut the updater down.
  std::recursive_mutex eventLock_;
  bool silenced_ = false;
  MvError error_;
};

}  // namespace tessaly
