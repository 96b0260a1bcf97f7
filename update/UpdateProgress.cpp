#include "UpdateProgress.h"

#include "StringTable.h"

namespace tessaly {

uint32_t ProgressPosition(uint64_t receivedBytes, uint64_t expectedBytes) {
  if (expectedBytes == 0) return 0;
  double position = static_cast<double>(receivedBytes) / static_cast<double>(expectedBytes) * 1000.0;
  return position >= 1000.0 ? 1000u : static_cast<uint32_t>(position);
}

void SpeedMeter::Start(uint32_t nowTick, uint64_t receivedBytes) {
  lastTick_ = nowTick;
  lastBytes_ = receivedBytes;
}

std::optional<uint64_t> SpeedMeter::Update(uint32_t nowTick, uint64_t receivedBytes) {
  uint32_t elapsed = nowTick - lastTick_;  // unsigned: correct across the clock's wrap
  if (elapsed < 1000) return std::nullopt;
  uint64_t bytes = receivedBytes >= lastBytes_ ? receivedBytes - lastBytes_ : 0;
  lastTick_ = nowTick;
  lastBytes_ = receivedBytes;
  return bytes * 1000 / elapsed;
}

void DownloadProgress::Start(uint64_t expectedBytes, uint32_t nowTick) {
  expected_ = expectedBytes;
  received_ = 0;
  speed_.Start(nowTick, 0);
}

ProgressReport DownloadProgress::AddChunk(uint32_t bytes, uint32_t nowTick) {
  received_ += bytes;
  return {ProgressPosition(received_, expected_), received_, speed_.Update(nowTick, received_)};
}

std::wstring SpeedLineText(uint64_t bytesPerSecond, uint64_t receivedBytes, StringTable& table) {
  std::wstring text = FormatByteSize(static_cast<double>(bytesPerSecond), table);
  text += L"/sec, ";
  text += FormatByteSize(static_cast<double>(receivedBytes), table);
  return text;
}

}  // namespace tessaly
