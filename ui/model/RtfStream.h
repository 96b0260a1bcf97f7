// The welcome text on its way into the rich edit: the RTF document of the string table, converted
// once to the ANSI code page, handed out in the pieces the control asks for. Converting the whole
// text first means a character that needs more than one byte can never overrun a piece.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

class RtfStream {
 public:
  RtfStream() = default;
  explicit RtfStream(std::wstring_view rtfText);

  // Copies up to capacity bytes of what is left into buffer; the number copied, 0 at the end.
  // nullopt when there is no text at all (the control is told to stop).
  std::optional<size_t> Next(char* buffer, size_t capacity);
  // Bytes already handed out.
  size_t Position() const { return position_; }
  bool HasText() const { return hasText_; }

 private:
  std::string bytes_;
  size_t position_ = 0;
  bool hasText_ = false;
};

}  // namespace tessaly
