#include "ScanRun.h"

#include "ArchiveListing.h"
#include "CaseFold.h"
#include "DebugLog.h"
#include "ScanEvents.h"
#include "TextList.h"

#include <thread>

namespace tessaly {
namespace {

constexpr auto kStatusInterval = std::chrono::milliseconds(100);

std::wstring ExtensionOf(const std::wstring& name) {
  size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

}  // namespace

SearchSwitches SearchFilter::For(std::wstring_view fileName) const {
  if (!freeText) return switches;
  const std::wstring lowered = ToLower(fileName);
  const bool named = lowered.find(text) != std::wstring::npos;
  return SearchSwitches{false, named, named, named};
}

ScanRun::ScanRun(Setup setup) : setup_(std::move(setup)) { ResetResults(); }

ScanRun::~ScanRun() {
  Stop();
  Wait();
}

std::wstring ScanRun::Text(const wchar_t* id) const { return setup_.text ? setup_.text(id) : std::wstring(id); }

SearchFilter ScanRun::FilterFor(const std::wstring& filterText) const {
  SearchFilter filter;
  for (const FilterChoice& choice : kFilterChoices) {
    if (EqualsNoCase(filterText, Text(choice.id))) {
      filter.switches = choice.switches;
      return filter;
    }
  }
  filter.freeText = true;
  filter.text = filterText;
  return filter;
}

void ScanRun::ResetResults() {
  p2pList_ = std::make_unique<MvLinkedList>();
  musicList_ = std::make_unique<MvLinkedList>();
  videoList_ = std::make_unique<MvLinkedList>();
  imageList_ = std::make_unique<MvLinkedList>();
  kept_.clear();
  allChecked_ = binaryChecked_ = p2pCount_ = musicCount_ = videoCount_ = imageCount_ = 0;
  if (MvLinkedList* properties = setup_.properties) {
    SetProperty(*properties, property::kP2pFileList, p2pList_.get());
    SetProperty(*properties, property::kMusicFileList, musicList_.get());
    SetProperty(*properties, property::kVideoFileList, videoList_.get());
    SetProperty(*properties, property::kImageFileList, imageList_.get());
  }
  PublishCounters();
}

void ScanRun::PublishCounters() {
  MvLinkedList* properties = setup_.properties;
  if (!properties) return;
  static constexpr const wchar_t* kNames[6] = {property::kAllFilesChecked, property::kAllFilesBinaryChecked,
                                               property::kP2pFilesFound,   property::kMusicFilesFound,
                                               property::kVideoFilesFound, property::kImageFilesFound};
  const uint32_t values[6] = {allChecked_, binaryChecked_, p2pCount_, musicCount_, videoCount_, imageCount_};
  // The entries are looked up once per run; after that a file costs six stores, not six walks.
  if (!counterEntries_[0] || counterEntries_[0] != properties->Find(kNames[0])) {
    for (int i = 0; i < 6; ++i) {
      SetProperty(*properties, kNames[i], nullptr);
      counterEntries_[i] = properties->Find(kNames[i]);
    }
  }
  for (int i = 0; i < 6; ++i) counterEntries_[i]->value = NumberValue(values[i]);
}

bool ScanRun::StartDiskScan(const std::wstring& searchPath, const std::wstring& filterText) {
  return StartDiskScan(std::vector<std::wstring>{searchPath}, filterText);
}

bool ScanRun::StartDiskScan(const std::vector<std::wstring>& searchPaths, const std::wstring& filterText) {
  if (running_) {
    // A scan is running: the results are emptied as for any new start, and nothing is started.
    // The views are told inside the lock, so that a listener can drop the rows of the old
    // records before the worker makes a row of a new one.
    std::lock_guard guard(resultsLock_);
    ResetResults();
    events.ExecuteAll_BinaryEventProcs(kScanRunViewsClearedEvent, this);
    return false;
  }
  Wait();  // the previous run's thread has ended
  ResetResults();
  events.ExecuteAll_BinaryEventProcs(kScanRunViewsClearedEvent, this);

  filter_ = FilterFor(filterText);
  stopped_ = false;
  lostResults_ = false;
  eventFaultsAtStart_ = events.Faults();
  last_ = std::move(current_);
  current_ = std::make_unique<MvScan>(setup_.source ? *setup_.source : SystemDirectorySource());
  MvScan& scan = *current_;
  if (setup_.properties) SetProperty(*setup_.properties, property::kCurrentScanProcess, &scan);

  while (setup_.volumesEnumerated && !setup_.volumesEnumerated()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  for (const std::wstring& searchPath : searchPaths) AddRoots(scan, searchPath);

  scan.events.AddBinaryEventProc(kScanStartedEvent, OnScanStarted, this);
  scan.events.AddBinaryEventProc(kNewFileFoundEvent, OnFileFound, this);
  scan.events.AddBinaryEventProc(kScanFinishedEvent, OnScanFinished, this);
  scan.keepTree = false;
  running_ = true;
  scan.Start();
  return true;
}

void ScanRun::AddRoots(MvScan& scan, const std::wstring& searchPath) {
  if (!EqualsNoCase(searchPath, Text(L"IDS_ALLLOCALDRIVES"))) {
    scan.AddRootFolder(ScanFolder::MakeRoot(searchPath));
    return;
  }
  DebugPrint(L"StartDiskScan: Adding disks for scanning\r\n");
  VolumeSet* computer = setup_.computer;
  if (!computer) return;
  std::lock_guard guard(computer->lock);
  for (const auto& volume : computer->volumes) {
    // A volume that is mounted nowhere has no folder to walk.
    if (volume->ready && volume->root && !volume->root->name.empty()) {
      DebugPrint(L"StartDiskScan: Volume Added(%s)\r\n", volume->volumeName);
      scan.AddRootFolder(volume->root);
    } else {
      DebugPrint(L"StartDiskScan: Volume not ready(%s)\r\n", volume->volumeName);
    }
  }
}

void ScanRun::Stop() {
  if (!running_ || !current_) return;
  stopped_ = true;
  current_->Stop();
}

void ScanRun::TogglePause() {
  if (running_ && current_) current_->TogglePause();
}

bool ScanRun::IsRunning() const { return running_; }

void ScanRun::Wait() {
  {
    std::unique_lock guard(finishLock_);
    finished_.wait(guard, [this] { return !running_; });
  }
  if (current_) current_->Join();
}

bool ScanRun::WaitFor(std::chrono::milliseconds timeout) {
  {
    std::unique_lock guard(finishLock_);
    if (!finished_.wait_for(guard, timeout, [this] { return !running_; })) return false;
  }
  if (current_) current_->Join();
  return true;
}

std::wstring ScanRun::CurrentPath() const {
  std::lock_guard guard(currentPathLock_);
  return currentPath_;
}

ScanStatusText ScanRun::StatusText(ScanFile* file) const {
  ScanStatusText status;
  status.activity = file ? Text(L"IDS_SCANNING") + L": " + file->FilePath() : Text(L"IDS_READY");
  status.counts = FormatPrintf(L"%d %s: %s(%d), %s(%d), %s(%d), %s(%d)",
                               p2pCount_ + musicCount_ + imageCount_ + videoCount_, Text(L"IDS_FILE_S_FOUND"),
                               Text(L"IDS_VIDEO"), videoCount_.load(), Text(L"IDS_MUSIC"), musicCount_.load(),
                               Text(L"IDS_FILESHARINGSOFTWARE"), p2pCount_.load(), Text(L"IDS_IMAGE"),
                               imageCount_.load());
  return status;
}

int32_t ScanRun::OnScanStarted(void*, void* context) {
  auto* run = static_cast<ScanRun*>(context);
  run->events.ExecuteAll_BinaryEventProcs(kScanRunStartedEvent, run);
  return 0;
}

int32_t ScanRun::OnFileFound(void* data, void* context) {
  auto* run = static_cast<ScanRun*>(context);
  run->HandleFile(*static_cast<ScanFile*>(data), *run->current_);
  return 0;
}

ScanFile* ScanRun::KeepFile(ScanFile& file) {
  if (std::unique_ptr<ScanFile> owned = file.Keep()) kept_.push_back(std::move(owned));
  return &file;
}

void ScanRun::RaiseItem(const wchar_t* listView, ScanFile& file) {
  if (!events.HasBinaryProcs(kScanRunAddItemEvent)) return;  // no window: no row texts to build
  ScanRunItem item;
  item.listView = listView;
  item.file = &file;
  item.text = file.name;
  if (const P2pSignature* signature = SignatureOf(file); signature && listView == kListViewP2p) {
    item.columns[0] = FormatPrintf(L"%s %s %s - %s", file.name, Text(L"IDS_HASBEENIDENTIFIEDAS"), signature->name,
                                   Text(L"IDS_AFILESHARINGSOFTWARE"));
    item.columns[1] = L"1";
  } else {
    item.columns[0] = FullPath(file.folder);
    item.columns[1] = setup_.sizeText ? setup_.sizeText(file.size) : std::to_wstring(file.size);
    item.columns[2] = ExtensionOf(file.name);
  }
  events.ExecuteAll_BinaryEventProcs(kScanRunAddItemEvent, &item);
}

bool ScanRun::TryP2p(ScanFile& file, const SearchSwitches& switches) {
  const SignatureDatabase* database = setup_.signatures;
  if (!database || !database->HasSizeLow32(file.size) || !switches.software) return false;
  const P2pSignature* signature = MatchSignature(file, *database);
  // A file that merely has a signature's size is classified like any other file: the size alone
  // would otherwise hide a song or film from the results.
  if (!signature) return false;

  ScanFile* kept = KeepFile(file);
  bool blocked = false;
  if (setup_.settings) {
    blocked = Settings(*setup_.settings).IsBlockedAs(file.name, signature->middleSum);
  }
  MvLinkedList& properties = kept->Properties();
  SetProperty(properties, property::kP2pBlocked, const_cast<wchar_t*>(blocked ? kTrue : kFalse));
  SetProperty(properties, property::kP2pSignature, const_cast<P2pSignature*>(signature));
  p2pList_->Add(nullptr, kept, true);
  ++p2pCount_;
  RaiseItem(kListViewP2p, *kept);
  return true;
}

void ScanRun::AddMedia(ScanFile& file, MediaCategory category) {
  // Only a result is kept: any other record goes back to the walk for the next file at once.
  if (category == MediaCategory::None) return;
  ScanFile* kept = KeepFile(file);
  switch (category) {
    case MediaCategory::Music:
      musicList_->Add(nullptr, kept, true);
      ++musicCount_;
      RaiseItem(kListViewMediaInOtherFolders, *kept);
      break;
    case MediaCategory::Video:
      videoList_->Add(nullptr, kept, true);
      ++videoCount_;
      RaiseItem(kListViewMediaInOtherFolders, *kept);
      break;
    case MediaCategory::Image:
      imageList_->Add(nullptr, kept, true);
      ++imageCount_;
      RaiseItem(kListViewImagesInOtherFolders, *kept);
      break;
    case MediaCategory::None:
      break;
  }
}

void ScanRun::HandleFile(ScanFile& file, MvScan& scan) {
  std::lock_guard guard(resultsLock_);
  const auto now = std::chrono::steady_clock::now();
  if (now - lastStatus_ > kStatusInterval) {
    lastStatus_ = now;
    {
      std::lock_guard guard(currentPathLock_);
      currentPath_ = file.FilePath();
    }
    ScanStatusText status = StatusText(&file);
    events.ExecuteAll_BinaryEventProcs(kScanRunStatusEvent, &status);
  }

  const SearchSwitches switches = filter_.For(file.name);
  bool examined = false;
  if (!TryP2p(file, switches) && setup_.media) {
    Classification result = ClassifyFile(file.name, file.size, *setup_.media, switches,
                                         [&file](uint8_t* buffer, size_t capacity) -> size_t {
                                           if (!file.OpenReader()) return 0;
                                           return file.Read(buffer, capacity);
                                         });
    examined = result.contentExamined;
    AddMedia(file, result.category);
    if (result.archive != ArchiveKind::None) {
      file.CloseReader();
      ListArchive(scan, file, result.archive);
    }
  }
  ++allChecked_;
  if (examined) ++binaryChecked_;
  PublishCounters();
}

void ScanRun::BelongingP2pProgramFile(const wchar_t* listView, MvLinkedList& fileList) {
  if (!setup_.mappings) return;
  for (const MvListEntry& entry : *p2pList_) {
    auto* program = static_cast<ScanFile*>(entry.value);
    const P2pSignature* signature = program ? SignatureOf(*program) : nullptr;
    if (!signature) continue;
    std::wstring answer;
    if (!FindSharedFolders(*setup_.mappings, signature->name, FullPath(program->folder), program->name, answer)) {
      continue;
    }
    // Empty entries are left out: one would be a prefix of every path.
    for (const std::wstring& shared : SplitList(answer)) {
      for (const MvListEntry& node : fileList) {
        auto* file = static_cast<ScanFile*>(node.value);
        if (!file) continue;
        const std::wstring& folderPath = FullPath(file->folder);
        if (folderPath.size() < shared.size() || !EqualsNoCase(std::wstring_view(folderPath).substr(0, shared.size()), shared)) {
          continue;
        }
        DebugPrint(L"Matched Shared: %s == %s\r\n", folderPath, shared);
        if (BelongingProgramOf(*file) == program) continue;
        SetProperty(file->Properties(), property::kBelongingP2pProgramFile, program);
        RaiseItem(listView, *file);
      }
    }
  }
}

int32_t ScanRun::OnScanFinished(void* data, void* context) {
  auto* run = static_cast<ScanRun*>(context);
  auto* scan = static_cast<MvScan*>(data);
  try {
    run->FinishRun(*scan);
  } catch (...) {
    // Whatever the finish handling could not do (shared-folder matching, say) is lost.
    run->error.Report(L"ScanRun::OnScanFinished(), Failed to finish the scan run");
    run->lostResults_ = true;
  }
  if (scan->LostResults()) run->lostResults_ = true;
  if (run->lostResults_) run->error.Report(L"ScanRun::OnScanFinished(), Scan incomplete: results were lost");
  // Waiters are released however the finish handling ended.
  {
    std::lock_guard guard(run->finishLock_);
    run->running_ = false;
  }
  run->finished_.notify_all();
  return 0;
}

void ScanRun::FinishRun(MvScan& scanRef) {
  MvScan* scan = &scanRef;
  ScanStatusText status = StatusText(nullptr);
  events.ExecuteAll_BinaryEventProcs(kScanRunStatusEvent, &status);

  if (p2pCount_ > 0 && setup_.mappings) {
    for (const MvListEntry& entry : *p2pList_) {
      auto* program = static_cast<ScanFile*>(entry.value);
      if (const P2pSignature* signature = program ? SignatureOf(*program) : nullptr) {
        std::wstring folders;  // the finders log what they find
        FindSharedFolders(*setup_.mappings, signature->name, FullPath(program->folder), program->name, folders);
      }
    }
  }
  if (MvLinkedList* properties = setup_.properties) {
    SetProperty(*properties, property::kLastScanProcess, scan);
    SetProperty(*properties, property::kCurrentScanProcess, nullptr);
  }
  if (scan->StopRequested()) stopped_ = true;

  std::unique_lock results(resultsLock_);
  BelongingP2pProgramFile(kListViewSharedMedia, *musicList_);
  BelongingP2pProgramFile(kListViewSharedMedia, *videoList_);
  BelongingP2pProgramFile(kListViewSharedImages, *imageList_);
  BelongingP2pProgramFile(kListViewSharedOtherFiles, *p2pList_);
  results.unlock();

  // Before the listeners hear of the end: a view that failed to take a row lost it too.
  if (scan->LostResults() || events.Faults() != eventFaultsAtStart_) lostResults_ = true;
  events.ExecuteAll_BinaryEventProcs(kScanRunFinishedEvent, this);
}

}  // namespace tessaly
