// What the update dialog shows while files download: the bar position (0 to 1000) and the speed
// line. Plain data, so it is tested without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessaly {

class StringTable;

// received / expected scaled to 0..1000 and truncated; 0 while nothing is expected (no division
// by zero), never beyond 1000 when more arrives than the manifest announced.
uint32_t ProgressPosition(uint64_t receivedBytes, uint64_t expectedBytes);

// The speed line changes at most once per second. Ticks are milliseconds of a wrapping 32-bit
// clock (timeGetTime).
class SpeedMeter {
 public:
  // A download begins: the next line comes a second after this.
  void Start(uint32_t nowTick, uint64_t receivedBytes);
  // Bytes per second since the last line, when a second or more has passed; nothing otherwise.
  // The rate is scaled by the real interval, so a slow chunk does not inflate it, and is never
  // negative.
  std::optional<uint64_t> Update(uint32_t nowTick, uint64_t receivedBytes);

 private:
  uint32_t lastTick_ = 0;
  uint64_t lastBytes_ = 0;
};

// The counting half of the dialog's progress. It lives on the download worker, which feeds it
// the byte count of every chunk; what it returns is plain numbers that the worker posts to the
// window (the chunk record itself is gone once the event returns).
struct ProgressReport {
  uint32_t position = 0;  // 0 to 1000
  uint64_t receivedBytes = 0;
  std::optional<uint64_t> bytesPerSecond;  // a new speed line is due
};

class DownloadProgress {
 public:
  // A download of expectedBytes begins (before its worker starts).
  void Start(uint64_t expectedBytes, uint32_t nowTick);
  ProgressReport AddChunk(uint32_t bytes, uint32_t nowTick);
  uint64_t ExpectedBytes() const { return expected_; }

 private:
  uint64_t expected_ = 0;
  uint64_t received_ = 0;
  SpeedMeter speed_;
};

// "<rate>/sec, <received>" in the size format of the string table.
std::wstring SpeedLineText(uint64_t bytesPerSecond, uint64_t receivedBytes, StringTable& table);

}  // namespace tessaly
