#include "VolumeApi.h"

#include "DebugLog.h"
#include "FreeSpace.h"
#include "MvError.h"
#include "SystemInfo.h"
#include "WinHandles.h"

#include <windows.h>

namespace tessaly {
namespace {

using GetVolumePathNamesFn = BOOL(WINAPI*)(LPCWSTR, LPWSTR, DWORD, PDWORD);
using FindFirstVolumeFn = HANDLE(WINAPI*)(LPWSTR, DWORD);
using FindNextVolumeFn = BOOL(WINAPI*)(HANDLE, LPWSTR, DWORD);
using FindVolumeCloseFn = BOOL(WINAPI*)(HANDLE);

constexpr DWORD kNameCapacity = 512;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The volume functions are looked up by name: Windows 95 and NT 4 do not have them, and the
// program must still start there and fall back to drive letters.
class Win32VolumeApi final : public VolumeApi {
 public:
  Win32VolumeApi() : kernel_(LoadLibraryW(L"kernel32.dll")) {
    if (!kernel_) DebugPrint(L"LoadLibraryW(kernel32.dll) failed: %s\r\n", MvError::GetLastError());
    getVolumePathNames_ = Lookup<GetVolumePathNamesFn>(kernel_.get(), "GetVolumePathNamesForVolumeNameW");
    findFirstVolume_ = Lookup<FindFirstVolumeFn>(kernel_.get(), "FindFirstVolumeW");
    findNextVolume_ = Lookup<FindNextVolumeFn>(kernel_.get(), "FindNextVolumeW");
    findVolumeClose_ = Lookup<FindVolumeCloseFn>(kernel_.get(), "FindVolumeClose");
    // Empty floppy and CD drives must not raise "insert a disk" boxes while they are queried.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  }
  Win32VolumeApi(const Win32VolumeApi&) = delete;
  Win32VolumeApi& operator=(const Win32VolumeApi&) = delete;

  bool UsesDriveLetters() const override { return IsWindowsVersion4() || IsWindows2000(); }

  uint32_t LogicalDriveMask() override { return GetLogicalDrives(); }

  std::vector<std::wstring> VolumeNames() override {
    std::vector<std::wstring> names;
    if (!findFirstVolume_ || !findNextVolume_ || !findVolumeClose_) return names;
    wchar_t name[kNameCapacity] = {};
    HANDLE find = findFirstVolume_(name, kNameCapacity);
    if (find == INVALID_HANDLE_VALUE) {
      DebugPrint(L"FindFirstVolumeW failed: %s\r\n", MvError::GetLastError());
      return names;
    }
    do {
      names.emplace_back(name);
    } while (findNextVolume_(find, name, kNameCapacity));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
      DebugPrint(L"FindNextVolumeW failed after %d volumes: %s\r\n", static_cast<int>(names.size()),
                 MvError::GetLastError());
    }
    if (!findVolumeClose_(find)) DebugPrint(L"FindVolumeClose failed: %s\r\n", MvError::GetLastError());
    return names;
  }

  std::optional<std::wstring> FirstMountPath(const std::wstring& volumeName) override {
    if (!getVolumePathNames_) return std::nullopt;
    wchar_t paths[kNameCapacity] = {};
    DWORD length = 0;
    if (!getVolumePathNames_(volumeName.c_str(), paths, kNameCapacity, &length)) return std::nullopt;
    paths[kNameCapacity - 1] = L'\0';
    return std::wstring(paths);  // the list is zero-separated: this is its first path
  }

  std::optional<std::wstring> Label(const std::wstring& volumeName) override {
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(volumeName.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
      return std::nullopt;
    }
    return std::wstring(label);
  }

  uint32_t DriveTypeOf(const std::wstring& volumeName) override { return GetDriveTypeW(volumeName.c_str()); }

  bool FreeSpace(const std::wstring& volumeName, FreeSpaceInfo& info) override {
    return QueryFreeSpace(volumeName, info);
  }

 private:
  win::UniqueModule kernel_;
  GetVolumePathNamesFn getVolumePathNames_ = nullptr;
  FindFirstVolumeFn findFirstVolume_ = nullptr;
  FindNextVolumeFn findNextVolume_ = nullptr;
  FindVolumeCloseFn findVolumeClose_ = nullptr;
};

}  // namespace

std::unique_ptr<VolumeApi> OpenSystemVolumeApi() { return std::make_unique<Win32VolumeApi>(); }

}  // namespace tessaly
