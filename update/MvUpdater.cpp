#include "MvUpdater.h"

#include "DebugLog.h"
#include "DownloadStorage.h"
#include "Paths.h"
#include "Sha256.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "UpdaterCommand.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tessaly {
namespace {

// A decimal header value; nothing for an empty, signed or malformed one.
std::optional<uint64_t> DecimalHeader(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  uint64_t value = 0;
  const char* end = text->data() + text->size();
  auto [stop, status] = std::from_chars(text->data(), end, value);
  if (status != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

MvUpdater::MvUpdater(std::wstring checkUrl, UpdaterOptions options)
    : checkUrl_(std::move(checkUrl)),
      programFolder_(options.programFolder.empty() ? std::wstring(ModuleFolder()) : options.programFolder),
      productVersion_(options.productVersion.empty() ? std::wstring(ProductVersionText()) : options.productVersion),
      windowsVersion4_(options.overrideWindowsVersion ? options.windowsVersion4 : IsWindowsVersion4()),
      client_(options.client) {
  if (!client_) client_ = SystemHttpClient(options.http, error_);
}

MvUpdater::~MvUpdater() {
  Cancel();
  for (;;) {
    std::vector<std::thread> finishing;
    {
      std::lock_guard guard(lock_);
      finishing.swap(workers_);
    }
    if (finishing.empty()) break;
    for (auto& worker : finishing) {
      if (worker.get_id() == std::this_thread::get_id()) {
        worker.detach();  // destroyed from its own event handler
      } else {
        worker.join();
      }
    }
  }
}

int MvUpdater::StartCheck(std::wstring localDate, std::wstring localTime) {
  {
    std::lock_guard data(dataLock_);
    localDate_ = std::move(localDate);
    localTime_ = std::move(localTime);
  }
  StartWorker(1);
  return 1;
}

int MvUpdater::StartDownload() {
  StartWorker(2);
  return 1;
}

void MvUpdater::Shutdown() {
  Cancel();
  std::lock_guard guard(eventLock_);
  silenced_ = true;
}

void MvUpdater::RaiseText(const wchar_t* event, const wchar_t* text) {
  std::lock_guard guard(eventLock_);
  if (!silenced_) events.ExecuteAll_StringEventProcs(event, text);
}

void MvUpdater::RaiseBinary(const wchar_t* event, void* data) {
  std::lock_guard guard(eventLock_);
  if (!silenced_) events.ExecuteAll_BinaryEventProcs(event, data);
}

void MvUpdater::StartWorker(int command) {
  std::lock_guard guard(lock_);
  // Null when the updater is not shared-owned: then its destructor waits for this worker.
  std::shared_ptr<MvUpdater> keep = weak_from_this().lock();
  workers_.emplace_back([this, command, keep = std::move(keep)] { Worker(command); });
}

void MvUpdater::Worker(int command) {
  switch (command) {
    case 1:
      RaiseText(kEventCheckCompleted, RunCheck() ? L"CHECK_COMPLETED" : L"CHECK_FAILED");
      break;
    case 2:
      RaiseText(kEventDownloadCompleted, DownloadAvailableFiles() ? L"DOWNLOAD_COMPLETED" : L"DOWNLOAD_FAILED");
      break;
    default:
      break;
  }
}

bool MvUpdater::RunCheck() {
  {
    std::lock_guard data(dataLock_);
    manifestText_.clear();
  }
  std::wstring address = CheckAddress(checkUrl_, productVersion_, windowsVersion4_);
  std::vector<uint8_t> buffer(kManifestCapacity);
  int64_t received = DownloadFileToMemory(address, buffer.data(), kManifestCapacity);
  if (received <= 0) return false;
  auto* bytes = reinterpret_cast<const char*>(buffer.data());
  size_t length = static_cast<size_t>(received);
  const void* zero = std::memchr(bytes, 0, length);
  if (zero) length = static_cast<size_t>(static_cast<const char*>(zero) - bytes);
  std::wstring text = AnsiToWide(std::string_view(bytes, length));
  DebugPrint(L"UrlBuffer output:\r\n%s\r\n\r\n", text);
  std::lock_guard data(dataLock_);
  manifestText_ = std::move(text);
  return true;
}

size_t MvUpdater::UpdatesAvailable() {
  // Not once shut down: this may run in an event handler, which Shutdown() waits for.
  if (ManifestText().empty() && !cancelled_) RunCheck();
  std::lock_guard data(dataLock_);
  availableFiles_.clear();
  for (UpdateFile& file : ReadManifestFiles(manifestText_, productElement_.c_str())) {
    DebugPrint(L"UpdatesAvailable(): Checking %s, Local Date(%s), Remote Date(%s)\r\n", file.fileName, file.date,
               localDate_);
    if (!IsNewerThan(file, localDate_, localTime_)) continue;
    if (!IsSafeUpdateFileName(file.fileName)) {
      error_.Report(L"UpdatesAvailable(): Refused file name(%s) of (%s)", file.fileName, file.url);
      continue;
    }
    DebugPrint(L"UpdatesAvailable(): Recent file is available(%s)\r\n", file.url);
    availableFiles_.push_back(std::move(file));
  }
  return availableFiles_.size();
}

std::vector<UpdateFile> MvUpdater::AvailableFiles() const {
  std::lock_guard data(dataLock_);
  return availableFiles_;
}

std::wstring MvUpdater::ManifestText() const {
  std::lock_guard data(dataLock_);
  return manifestText_;
}

bool MvUpdater::DownloadAvailableFiles() {
  // Not once shut down: this may run in an event handler, which Shutdown() waits for.
  if (ManifestText().empty() && !cancelled_) RunCheck();
  std::wstring folder = programFolder_ + kUpdatedFilesFolder;
  if (!CreateFolderIfMissing(folder)) {
    error_.Report(L"DownloadAvailableFiles(): Failed to create folder(%s), Error(%s)", folder,
                  MvError::GetLastError());
    return false;
  }
  bool allInPlace = true;
  for (const UpdateFile& file : AvailableFiles()) {
    if (!DownloadOne(file)) allInPlace = false;
  }
  return allInPlace;
}

bool MvUpdater::DownloadOne(const UpdateFile& file) {
  if (!IsSafeUpdateFileName(file.fileName)) {
    error_.Report(L"DownloadAvailableFiles(): Refused file name(%s)", file.fileName);
    return false;
  }
  std::wstring folder = programFolder_ + kUpdatedFilesFolder + kPathSeparator;
  std::wstring temporaryName = folder + TemporaryDownloadName(NewUpdateGuid());
  std::wstring finalName = folder + file.fileName;

  uint32_t size = file.size;
  int64_t remoteSize = GetFileSize(file.url);
  if (remoteSize > 0 && remoteSize != size) {
    if (remoteSize > UINT32_MAX) {
      error_.Report(L"DownloadAvailableFiles(): File(%s) too large(%lld)", finalName, static_cast<long long>(remoteSize));
      return false;
    }
    DebugPrint(L"DownloadAvailableFiles(): Updating Filesize from(%d) to (%d)\r\n", size, remoteSize);
    size = static_cast<uint32_t>(remoteSize);
  }
  DebugPrint(L"DownloadAvailableFiles(): Creating file(%s)\r\n", finalName);

  DownloadMapping mapping = DownloadMapping::Create(temporaryName, size);
  switch (mapping.status()) {
    case DownloadMapping::Status::Ok:
      break;
    case DownloadMapping::Status::CreateFailed:
      error_.Report(L"DownloadAvailableFiles(): Failed to create file(%s), Error(%s)", finalName,
                    MvError::GetLastError());
      return false;
    case DownloadMapping::Status::MappingFailed:
      error_.Report(L"DownloadAvailableFiles(): Failed to Create filemapping(%s), Error(%s)", finalName,
                    MvError::GetLastError());
      mapping.Close();
      RemoveFileAt(temporaryName);  // nothing was written into it
      return false;
    case DownloadMapping::Status::ViewFailed:
      error_.Report(L"DownloadAvailableFiles(): Failed to create view(%s), Error(%s)", finalName,
                    MvError::GetLastError());
      mapping.Close();
      RemoveFileAt(temporaryName);
      return false;
  }

  int64_t received = DownloadFileToMemory(file.url, mapping.data(), size);
  bool complete = received == static_cast<int64_t>(size);
  bool digestMatches = true;
  if (complete && !file.sha256.empty()) {
    digestMatches = DigestMatches(file.sha256, Sha256::Of(mapping.data(), size));
  }
  mapping.Close();

  if (!complete) {
    // Left for inspection; its name never collides with an installed file.
    error_.Report(L"DownloadAvailableFiles(): Incomplete download(%s), received(%lld) of (%u)", file.url,
                  static_cast<long long>(received), size);
    return false;
  }
  if (!digestMatches) {
    error_.Report(L"DownloadAvailableFiles(): Digest of (%s) differs from the manifest's (%s)", file.url, file.sha256);
    RemoveFileAt(temporaryName);
    return false;
  }
  if (!MoveIntoPlace(temporaryName, finalName)) {
    error_.Report(L"DownloadAvailableFiles(): Failed to move file(%s) to (%s), Error(%s)", temporaryName, finalName,
                  MvError::GetLastError());
    RemoveFileAt(temporaryName);
    return false;
  }
  RaiseText(kEventFileCompleted, L"FILEDOWNLOAD_COMPLETED");
  return true;
}

int64_t MvUpdater::GetFileSize(const std::wstring& url) {
  DebugPrint(L"GetFileSize(): Opening %s\r\n", url);
  if (!client_) return -1;
  std::unique_ptr<HttpResponse> response = client_->Open(WideToAnsi(url));
  if (!response) return -1;
  // The length of an error page says nothing about the file.
  std::optional<uint32_t> status = response->StatusCode();
  if (!status || *status != 200) return -1;
  std::optional<uint64_t> length = DecimalHeader(response->ContentLength());
  if (!length || *length > static_cast<uint64_t>(INT64_MAX)) return -1;
  DebugPrint(L"GetFileSize(): RemoteFileSize of File(%s) is(%lld)\r\n", url, static_cast<long long>(*length));
  return static_cast<int64_t>(*length);
}

int64_t MvUpdater::DownloadFileToMemory(const std::wstring& url, uint8_t* destination, uint32_t capacity) {
  DebugPrint(L"DownloadFileToMemory(): Opening %s\r\n", url);
  std::unique_ptr<HttpResponse> response = client_ ? client_->Open(WideToAnsi(url)) : nullptr;
  if (!response) {
    error_.Report(L"DownloadFileToMemory(): Failed to download file(%s), Error(%s)", url, MvError::GetLastError());
    return -1;
  }
  std::optional<uint32_t> status = response->StatusCode();
  if (!status || *status != 200) {
    error_.Report(L"DownloadFileToMemory(): Failed to access file(%s), Win32Error(%s), StatusCode Returned(%d)", url,
                  MvError::GetLastError(), status.value_or(0));
    return -1;
  }
  std::optional<uint64_t> announced = DecimalHeader(response->ContentLength());
  if (announced && *announced > capacity) {
    error_.Report(L"DownloadFileToMemory(): File(%s) of (%llu) bytes does not fit in (%u)", url,
                  static_cast<unsigned long long>(*announced), capacity);
    return -1;
  }

  uint32_t total = 0;
  for (;;) {
    uint32_t want = std::min(kDownloadChunk, capacity - total);
    if (want == 0) break;
    if (cancelled_) {
      error_.Report(L"DownloadFileToMemory(): Cancelled after (%u) bytes of (%s)", total, url);
      return -1;
    }
    int64_t got = response->Read(destination + total, want);
    if (got < 0) {
      error_.Report(L"DownloadFileToMemory(): Failed to read file(%s) after (%u) bytes, Error(%s)", url, total,
                    MvError::GetLastError());
      return -1;
    }
    if (got == 0) break;
    total += static_cast<uint32_t>(got);
    UpdaterChunk chunk{url.c_str(), static_cast<uint32_t>(got)};
    RaiseBinary(kEventChunkDownloaded, &chunk);
  }

  if (total == capacity && !(announced && *announced == total)) {
    uint8_t extra = 0;
    if (response->Read(&extra, 1) != 0) {
      error_.Report(L"DownloadFileToMemory(): File(%s) is larger than (%u) bytes", url, capacity);
      return -1;
    }
  }
  if (announced && *announced != total) {
    error_.Report(L"DownloadFileToMemory(): File(%s) ended after (%u) of (%llu) bytes", url, total,
                  static_cast<unsigned long long>(*announced));
    return -1;
  }
  return total;
}

bool MvUpdater::LaunchUpdater(const std::wstring& mutexCode, const std::wstring& executeOnEnd) {
  std::wstring program = programFolder_ + kUpdatedFilesFolder + kPathSeparator + kUpdaterProgram;
  std::wstring parameters = UpdaterParameters(mutexCode, programFolder_, executeOnEnd);
  if (StartProgram(program, parameters, programFolder_)) return true;
  error_.Report(L"LaunchUpdater(): Failed to launch updater(%s), Parameters(%s), Error(%s)", program, parameters,
                MvError::GetLastError());
  return false;
}

}  // namespace tessaly
