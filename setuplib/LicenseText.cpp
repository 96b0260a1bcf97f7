#include "LicenseText.h"

#include "FileHandle.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tessaly {

std::string LicenseRtfBytes(StringTable& language) {
  return WideToAnsi(GetString(false, L"IDS_LICENSE_RTFDATA", language));
}

bool LicenseTextReader::ReadPiece(uint8_t* buffer, int32_t requested, int32_t& delivered) {
  delivered = 0;
  if (!buffer || requested < 0) return false;
  std::memset(buffer, 0, static_cast<size_t>(requested));
  FileHandle file = FileHandle::OpenForRead(path_);
  if (!file.IsOpen()) {
    error_.Report(L"LicenseDialog.RichEditCallBack: Failed to Open RTF File(%s), Error(%s)", path_,
                  MvError::GetLastError());
    return false;
  }
  const int64_t size = file.Size();
  if (size < 0 || !file.Seek(position_)) {
    error_.Report(L"LicenseDialog.RichEditCallBack: Failed to Read RTF File(%s), Error(%s)", path_,
                  MvError::GetLastError());
    return false;
  }
  if (position_ >= static_cast<uint64_t>(size) || requested == 0) return true;
  // The position is 32-bit: a licence text never comes near that size, and the rest of a larger
  // file is simply not shown.
  const uint64_t left = static_cast<uint64_t>(size) - position_;
  const uint64_t room = UINT32_MAX - position_;
  const size_t wanted = static_cast<size_t>(std::min<uint64_t>({static_cast<uint64_t>(requested), left, room}));
  const size_t read = file.Read(buffer, wanted);
  if (read == 0 && wanted > 0) {
    // Delivering nothing here would end the text early as if it were complete.
    error_.Report(L"LicenseDialog.RichEditCallBack: Failed to Read RTF File(%s), Error(%s)", path_,
                  MvError::GetLastError());
    return false;
  }
  position_ += static_cast<uint32_t>(read);
  delivered = static_cast<int32_t>(read);
  return true;
}

}  // namespace tessaly
