#include "DebugLog.h"

#include "DebugSink.h"

#include <mutex>

namespace tessaly {
namespace {

std::mutex observerMutex;
DebugObserver& Observer() {
  static DebugObserver observer;
  return observer;
}

}  // namespace

void SetDebugObserver(DebugObserver observer) {
  std::lock_guard guard(observerMutex);
  Observer() = std::move(observer);
}

void DebugWrite(std::wstring_view line) {
  // The viewer protocol carries at most 2047 characters and the zero.
  std::wstring text(line.substr(0, kDebugLineCapacity - 1));
  {
    std::lock_guard guard(observerMutex);
    if (Observer()) Observer()(text);
  }
  DeliverDebugLine(text);
}

}  // namespace tessaly
