// One scan run: turns where and what to search into one run of the scan worker, decides for every
// found file whether it is a P2P program file, music, video or an image, keeps the counters and
// result lists on the owner's property list, and when the worker finishes, sets apart the media
// that lie in the shared folders of the P2P programs found.
//
// Shared by the main window and the command-line scanner. Everything a window must do (add a
// row, refresh the status bar, enable buttons, open the wizard) leaves as named events on
// `events`, raised on the scan thread.
#pragma once

#include "FileRecognition.h"
#include "MvDiskScan.h"
#include "MvEventHandler.h"
#include "MvLinkedList.h"
#include "MvScan.h"
#include "P2pSignature.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "SharedFolderMappings.h"
#include "SharedProperties.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tessaly {

// Events of the scan run (binary; payload in the comment).
inline constexpr const wchar_t* kScanRunViewsClearedEvent = L"EVENT_SCANRUN_VIEWSCLEARED";  // ScanRun*
inline constexpr const wchar_t* kScanRunStartedEvent = L"EVENT_SCANRUN_STARTED";            // ScanRun*
inline constexpr const wchar_t* kScanRunAddItemEvent = L"EVENT_SCANRUN_ADDITEM";            // ScanRunItem*
inline constexpr const wchar_t* kScanRunStatusEvent = L"EVENT_SCANRUN_STATUS";              // ScanStatusText*
inline constexpr const wchar_t* kScanRunFinishedEvent = L"EVENT_SCANRUN_FINISHED";          // ScanRun*

// List views the items are meant for.
inline constexpr const wchar_t* kListViewP2p = L"IDC_LISTVIEW_P2P";
inline constexpr const wchar_t* kListViewSharedMedia = L"IDC_LISTVIEW_SHAREDMEDIA";
inline constexpr const wchar_t* kListViewSharedImages = L"IDC_LISTVIEW_SHAREDIMAGES";
inline constexpr const wchar_t* kListViewSharedOtherFiles = L"IDC_LISTVIEW_SHAREDOTHERFILES";
inline constexpr const wchar_t* kListViewMediaInOtherFolders = L"IDC_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS";
inline constexpr const wchar_t* kListViewImagesInOtherFolders = L"IDC_LISTVIEW_IMAGEFILESINOTHERFOLDERS";

// A row for a list view: the item text and three columns.
struct ScanRunItem {
  const wchar_t* listView = nullptr;
  ScanFile* file = nullptr;
  std::wstring text;
  std::wstring columns[3];
};

// The two parts of the status bar.
struct ScanStatusText {
  std::wstring activity;  // "Scanning: <path>" or "Ready"
  std::wstring counts;    // "3 File(s) found: Video(1), Music(1), ..."
};

// The six fixed filters: the short name the command line takes, the string ID of the filter's text
// and what it searches for.
struct FilterChoice {
  const wchar_t* shortName;
  const wchar_t* id;
  SearchSwitches switches;  // software, music, video, images
};
inline constexpr FilterChoice kFilterChoices[] = {
    {L"all", L"IDS_SEARCHFORMUSICVIDEOSOFTWARE", {true, true, true, true}},
    {L"media", L"IDS_SEARCHFORMUSICVIDEOFILES", {false, true, true, false}},
    {L"software", L"IDS_SEARCHFORFILESHARINGSOFTWARE", {true, false, false, false}},
    {L"images", L"IDS_SEARCHFORIMAGEFILES", {false, false, false, true}},
    {L"video", L"IDS_SEARCHFORVIDEOFILES", {false, false, true, false}},
    {L"music", L"IDS_SEARCHFORMUSICFILES", {false, true, false, false}},
};

// The active filter: the four switches, or a free text that the file name must contain.
struct SearchFilter {
  SearchSwitches switches;
  bool freeText = false;
  std::wstring text;  // as typed

  SearchSwitches For(std::wstring_view fileName) const;
};

class ScanRun {
 public:
  struct Setup {
    MvLinkedList* properties = nullptr;      // the main window's: results are published here
    VolumeSet* computer = nullptr;           // "THISCOMPUTER"
    std::function<bool()> volumesEnumerated; // "VolumeEnumerationCompleted"
    const MediaSettings* media = nullptr;
    const SignatureDatabase* signatures = nullptr;   // null: not loaded
    const SharedFolderMappings* mappings = nullptr;  // null: none
    const SettingsStore* settings = nullptr;         // the blocked programs
    std::function<std::wstring(const wchar_t* id)> text;  // a text of the current language
    std::function<std::wstring(uint64_t size)> sizeText;  // the program's size format
    DirectorySource* source = nullptr;               // null: the real disk
  };

  explicit ScanRun(Setup setup);
  ~ScanRun();  // stops and waits for a running scan
  ScanRun(const ScanRun&) = delete;
  ScanRun& operator=(const ScanRun&) = delete;

  // Resets the counters, lists and views, then starts a scan of searchPath (the text of
  // "IDS_ALLLOCALDRIVES" means every ready volume) with the given filter text. False when a scan
  // is already running: then nothing else is started.
  bool StartDiskScan(const std::wstring& searchPath, const std::wstring& filterText);
  // The same for several search paths, walked one after the other in one run.
  bool StartDiskScan(const std::vector<std::wstring>& searchPaths, const std::wstring& filterText);
  void Stop();
  void TogglePause();
  bool IsRunning() const;
  // Blocks until the running scan, its finish handling included, is over.
  void Wait();
  // The same for at most `timeout`; true when the scan is over. Returns as soon as it ends.
  bool WaitFor(std::chrono::milliseconds timeout);

  // The filter of a filter text: the six filter texts of the current language (ignoring case),
  // anything else a free text.
  SearchFilter FilterFor(const std::wstring& filterText) const;
  ScanStatusText StatusText(ScanFile* file) const;
  // Marks the files of fileList that lie in a shared folder of a P2P program found, and raises
  // an item for listView for each newly marked one.
  void BelongingP2pProgramFile(const wchar_t* listView, MvLinkedList& fileList);

  // The lists and counters (also published as properties).
  MvLinkedList& P2pFiles() { return *p2pList_; }
  MvLinkedList& MusicFiles() { return *musicList_; }
  MvLinkedList& VideoFiles() { return *videoList_; }
  MvLinkedList& ImageFiles() { return *imageList_; }
  uint32_t FilesChecked() const { return allChecked_; }
  uint32_t FilesBinaryChecked() const { return binaryChecked_; }
  uint32_t P2pCount() const { return p2pCount_; }
  uint32_t MusicCount() const { return musicCount_; }
  uint32_t VideoCount() const { return videoCount_; }
  uint32_t ImageCount() const { return imageCount_; }
  // The path of the file handled last (for progress displays).
  std::wstring CurrentPath() const;
  // File records held for the results (a record that is no result is not kept).
  size_t KeptRecords() const { return kept_.size(); }
  // True when the last run ended by a stop request.
  bool WasStopped() const { return stopped_; }
  // True when the last run lost results (a folder or record it could not handle for a reason of
  // its own, a handler that failed): it must not be taken for complete even when not stopped.
  bool LostResults() const { return lostResults_; }

  MvEventHandler events;
  MvError error;

 private:
  static int32_t OnScanStarted(void* data, void* context);
  static int32_t OnFileFound(void* data, void* context);
  static int32_t OnScanFinished(void* data, void* context);
  void FinishRun(MvScan& scan);

  void AddRoots(MvScan& scan, const std::wstring& searchPath);
  void HandleFile(ScanFile& file, MvScan& scan);
  bool TryP2p(ScanFile& file, const SearchSwitches& switches);
  void AddMedia(ScanFile& file, MediaCategory category);
  ScanFile* KeepFile(ScanFile& file);
  void RaiseItem(const wchar_t* listView, ScanFile& file);
  void PublishCounters();
  void ResetResults();
  std::wstring Text(const wchar_t* id) const;

  Setup setup_;
  std::unique_ptr<MvScan> current_;
  std::unique_ptr<MvScan> last_;
  std::unique_ptr<MvLinkedList> p2pList_, musicList_, videoList_, imageList_;
  std::vector<std::unique_ptr<ScanFile>> kept_;  // owners of every listed record
  SearchFilter filter_;
  std::atomic<uint32_t> allChecked_{0}, binaryChecked_{0}, p2pCount_{0}, musicCount_{0}, videoCount_{0},
      imageCount_{0};
  MvListEntry* counterEntries_[6] = {};
  std::chrono::steady_clock::time_point lastStatus_{};
  mutable std::mutex currentPathLock_;
  std::wstring currentPath_;
  std::recursive_mutex resultsLock_;  // the worker's file handling against a reset
  std::atomic<bool> running_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<bool> lostResults_{false};
  uint32_t eventFaultsAtStart_ = 0;  // this run's own listeners (the views) failed when it grows
  std::mutex finishLock_;
  std::condition_variable finished_;
};

}  // namespace tessaly
