// Collects debug-log lines while it lives.
#pragma once

#include "DebugLog.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace tessaly::test {

class LogCapture {
 public:
  LogCapture() {
    SetDebugObserver([this](const std::wstring& line) {
      std::lock_guard guard(mutex_);
      lines_.push_back(line);
    });
  }
  ~LogCapture() { SetDebugObserver(nullptr); }

  std::vector<std::wstring> Lines() const {
    std::lock_guard guard(mutex_);
    return lines_;
  }
  size_t Count(const std::wstring& line) const {
    std::lock_guard guard(mutex_);
    return static_cast<size_t>(std::count(lines_.begin(), lines_.end(), line));
  }
  size_t CountContaining(const std::wstring& part) const {
    std::lock_guard guard(mutex_);
    return static_cast<size_t>(std::count_if(lines_.begin(), lines_.end(),
                                             [&](const std::wstring& l) { return l.find(part) != std::wstring::npos; }));
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::wstring> lines_;
};

}  // namespace tessaly::test
