// The licence text as the licence dialog shows it: the RTF of the current language written out as
// ANSI bytes, and read back into the rich-edit control piece by piece.
#pragma once

#include <cstdint>
#include <string>

#include "MvError.h"

namespace tessaly {

class StringTable;

// "IDS_LICENSE_RTFDATA" of the table's current language in the ANSI code page, without a
// terminating zero: the bytes of the licence file.
std::string LicenseRtfBytes(StringTable& language);

// Hands the file to the control in the sizes it asks for. The file is opened again for every
// piece and read from where the last piece ended, so the reader holds no handle between calls.
class LicenseTextReader {
 public:
  explicit LicenseTextReader(std::wstring path) : path_(std::move(path)) {}

  // Up to `requested` bytes into buffer (which is zeroed first); `delivered` is 0 at the end.
  // False when the file cannot be opened or read (reported); nothing is delivered then.
  bool ReadPiece(uint8_t* buffer, int32_t requested, int32_t& delivered);

  uint32_t Position() const { return position_; }

 private:
  std::wstring path_;
  uint32_t position_ = 0;
  MvError error_;
};

}  // namespace tessaly
