#include "model/RtfStream.h"

#include "TextConvert.h"

#include <algorithm>
#include <cstring>

namespace tessaly {

RtfStream::RtfStream(std::wstring_view rtfText) : bytes_(WideToAnsi(rtfText)), hasText_(true) {}

std::optional<size_t> RtfStream::Next(char* buffer, size_t capacity) {
  if (!hasText_ || (!buffer && capacity > 0)) return std::nullopt;
  const size_t count = std::min(capacity, bytes_.size() - position_);
  if (count > 0) std::memcpy(buffer, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

}  // namespace tessaly
