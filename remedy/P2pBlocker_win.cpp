#include "P2pBlocker_win.h"

#include "CaseFold.h"
#include "DebugLog.h"
#include "ModuleInfo.h"
#include "P2pBlockRules.h"
#include "TextConvert.h"

#include <tlhelp32.h>

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

int P2pBlocker::RunPass() {
  // One registry read per pass rather than one per process: the list is small and the
  // processes are many.
  std::vector<std::wstring> blocked = ReadBlockedNames();
  if (blocked.empty()) return 0;
  win::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    if (GetLastError() == ERROR_ACCESS_DENIED) {
      error_->Report(L"Failed to create snapshot, Access Denied. %d snapshots already taken", snapshots_);
      stop_ = true;
    }
    return 0;
  }
  ++snapshots_;
  int ended = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    std::wstring name = BlockLookupName(entry.szExeFile);
    if (name.empty() || !std::binary_search(blocked.begin(), blocked.end(), name)) continue;
    if (IsProtectedProcess(entry.th32ProcessID, name, selfId_, selfName_)) continue;
    win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    if (!process) continue;  // another user's or a protected process
    if (TerminateProcess(process.get(), 0)) {
      DebugPrint(L"Blocked P2P Software: %s\r\n", name);
      ++ended;
    } else {
      DebugPrint(L"Failed to block P2P Software: %s\r\n", name);
    }
  }
  return ended;
}

}  // namespace tessaly
