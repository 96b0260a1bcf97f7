// The rich-edit library from the installer database, for systems that lack it.
#include "TessresActions.h"

#include "MvError.h"
#include "WinHandles.h"

#include <msiquery.h>

#include <new>
#include <vector>

namespace tessaly {
namespace {

MvError& ExtractError() {
  static MvError error;
  return error;
}

// An installer handle closed on scope exit.
class UniqueMsiHandle {
 public:
  UniqueMsiHandle() = default;
  ~UniqueMsiHandle() {
    if (handle_) MsiCloseHandle(handle_);
  }
  UniqueMsiHandle(const UniqueMsiHandle&) = delete;
  UniqueMsiHandle& operator=(const UniqueMsiHandle&) = delete;
  MSIHANDLE* out() { return &handle_; }
  MSIHANDLE get() const { return handle_; }

 private:
  MSIHANDLE handle_ = 0;
};

}  // namespace

bool ExtractFileFromMsi(MSIHANDLE database, const std::wstring& target) {
  UniqueMsiHandle view;
  UINT status = MsiDatabaseOpenViewW(database, L"SELECT Data FROM Binary WHERE Name='RichEdit20'", view.out());
  if (status != ERROR_SUCCESS) {
    ExtractError().Report(L"ExtractFileFromMsi(): MsiDatabaseOpenView(), Failed with Error(%d)", static_cast<int>(status));
    return false;
  }
  status = MsiViewExecute(view.get(), 0);
  if (status != ERROR_SUCCESS) {
    ExtractError().Report(L"ExtractFileFromMsi(): MsiViewExecute(), Failed with Error(%d)", static_cast<int>(status));
    return false;
  }
  UniqueMsiHandle record;
  status = MsiViewFetch(view.get(), record.out());
  if (status != ERROR_SUCCESS) {
    ExtractError().Report(L"ExtractFileFromMsi(): MsiViewFetch(), Failed with Error(%d)", static_cast<int>(status));
    return false;
  }
  const UINT size = MsiRecordDataSize(record.get(), 1);
  if (size == 0) {
    ExtractError().Report(
        L"ExtractFileFromMsi(): MsiRecordDataSize(), Record size is zero. No data contained in record");
    return false;
  }
  std::vector<char> data;
  try {
    data.resize(size);
  } catch (const std::bad_alloc&) {
    ExtractError().Report(
        L"ExtractFileFromMsi(): Failed to allocate memory for data record, will not write out requested file");
    return false;
  }
  DWORD read = size;
  status = MsiRecordReadStream(record.get(), 1, data.data(), &read);
  if (status != ERROR_SUCCESS) {
    ExtractError().Report(L"ExtractFileFromMsi(): MsiRecordReadStream(), Failed with Error(%d)", static_cast<int>(status));
    return false;
  }
  win::UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    ExtractError().Report(L"ExtractFileFromMsi(): CreateFile(), failed to create file(%s)", target);
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file.get(), data.data(), read, &written, nullptr) || written != read) {
    // A half-written library would be loaded as if whole: it goes.
    ExtractError().Report(L"ExtractFileFromMsi(): WriteFile(), failed to write file(%s), Error(%s)", target,
                          MvError::GetLastError());
    file.reset();
    DeleteFileW(target.c_str());
    return false;
  }
  return true;
}

}  // namespace tessaly
