#include "P2pBlocker_win.h"

#include "CaseFold.h"
#include "DebugLog.h"
#include "ModuleInfo.h"
#include "P2pBlockRules.h"
#include "TextConvert.h"

#include <winternl.h>

#include <algorithm>

namespace tessaly {

P2pBlocker::P2pBlocker(std::wstring keyPath)
    : keyPath_(std::move(keyPath)),
      wake_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      error_(std::make_unique<MvError>()),
      selfId_(GetCurrentProcessId()) {
  if (!wake_) error_->Report(L"P2pBlocker: CreateEventW failed (%lu)", static_cast<unsigned long>(GetLastError()));
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n > 0 && n < MAX_PATH) selfName_ = BlockLookupName(std::wstring_view(path, n));
}

P2pBlocker::P2pBlocker() : P2pBlocker(kBlockedP2pKey) {}

P2pBlocker::~P2pBlocker() { Stop(); }

bool P2pBlocker::Start(float ratePerSecond) {
  if (thread_) return true;
  ratePerSecond_ = ratePerSecond > 0 ? ratePerSecond : 15.0f;
  stop_ = false;
  if (wake_) ResetEvent(wake_.get());
  thread_.reset(CreateThread(nullptr, 0, &P2pBlocker::ThreadMain, this, 0, &threadId_));
  if (!thread_) {
    error_->Report(L"P2pBlocker: CreateThread failed (%lu)", static_cast<unsigned long>(GetLastError()));
    threadId_ = 0;
    return false;
  }
  return true;
}

void P2pBlocker::Stop() {
  if (!thread_) return;  // never wait for a thread that was not created
  stop_ = true;
  if (wake_) SetEvent(wake_.get());
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  threadId_ = 0;
}

DWORD WINAPI P2pBlocker::ThreadMain(void* arg) {
  auto* self = static_cast<P2pBlocker*>(arg);
  const DWORD sleepMs = static_cast<DWORD>(1000.0f / self->ratePerSecond_);
  while (!self->stop_) {
    self->RunPass();
    if (self->stop_) break;
    if (self->wake_)
      WaitForSingleObject(self->wake_.get(), sleepMs);
    else
      Sleep(sleepMs);
  }
  return 0;
}

std::vector<std::wstring> P2pBlocker::ReadBlockedNames() {
  std::vector<std::wstring> names;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return names;
  win::UniqueRegKey key(raw);
  for (DWORD i = 0;; ++i) {
    wchar_t name[260];
    DWORD nameLength = 260;
    wchar_t data[128];
    DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    LONG r = RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;  // too long or not text: not a block value
    data[dataBytes / sizeof(wchar_t)] = L'\0';
    if (IsBlockValueData(data)) names.push_back(ToLower(std::wstring_view(name, nameLength)));
  }
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr LONG kStatusAccessDenied = static_cast<LONG>(0xC0000022);

using QuerySystemInformation = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, void*, ULONG, ULONG*);

QuerySystemInformation SystemQuery() {
  static const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  return query;
}

}  // namespace

// The running processes in one query: the list a toolhelp snapshot is built from, without
// copying it into a snapshot and walking that entry by entry, which costs several times as much.
LONG P2pBlocker::QueryProcesses() {
  const QuerySystemInformation query = SystemQuery();
  if (!query) return kStatusAccessDenied;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (processBuffer_.empty()) processBuffer_.resize(256 * 1024 / sizeof(processBuffer_[0]));
    ULONG needed = 0;
    const auto bytes = static_cast<ULONG>(processBuffer_.size() * sizeof(processBuffer_[0]));
    const LONG status = query(SystemProcessInformation, processBuffer_.data(), bytes, &needed);
    if (status != kStatusInfoLengthMismatch) return status;
    // Processes may start between two calls: some room to spare.
    processBuffer_.resize((std::max<size_t>(needed, bytes) * 3 / 2) / sizeof(processBuffer_[0]) + 1);
  }
  return kStatusInfoLengthMismatch;
}

int P2pBlocker::RunPass() {
  // One registry read per pass rather than one per process: the list is small and the
  // processes are many.
  std::vector<std::wstring> blocked = ReadBlockedNames();
  if (blocked.empty()) return 0;
  if (const LONG status = QueryProcesses(); status < 0) {
    if (status == kStatusAccessDenied) {
      error_->Report(L"Failed to create snapshot, Access Denied. %d snapshots already taken", snapshots_);
      stop_ = true;
    }
    return 0;
  }
  ++snapshots_;
  int ended = 0;
  const auto* base = reinterpret_cast<const BYTE*>(processBuffer_.data());
  for (size_t offset = 0;;) {
    const auto& process = *reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(base + offset);
    const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process.UniqueProcessId));
    const std::wstring name =
        process.ImageName.Buffer
            ? BlockLookupName(std::wstring_view(process.ImageName.Buffer, process.ImageName.Length / sizeof(wchar_t)))
            : std::wstring();
    if (!name.empty() && std::binary_search(blocked.begin(), blocked.end(), name) &&
        !IsProtectedProcess(id, name, selfId_, selfName_)) {
      win::UniqueKernelHandle handle(OpenProcess(PROCESS_TERMINATE, FALSE, id));
      if (handle) {  // else another user's or a protected process
        if (TerminateProcess(handle.get(), 0)) {
          DebugPrint(L"Blocked P2P Software: %s\r\n", name);
          ++ended;
        } else {
          DebugPrint(L"Failed to block P2P Software: %s\r\n", name);
        }
      }
    }
    if (process.NextEntryOffset == 0) break;
    offset += process.NextEntryOffset;
  }
  return ended;
}

}  // namespace tessaly
