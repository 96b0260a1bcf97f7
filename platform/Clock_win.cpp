#include "Clock.h"

#include <windows.h>

namespace tessaly {
namespace {

SystemTime Convert(const SYSTEMTIME& s) {
  return {s.wYear, s.wMonth, s.wDayOfWeek, s.wDay, s.wHour, s.wMinute, s.wSecond, s.wMilliseconds};
}

}  // namespace

SystemTime LocalTimeNow() {
  SYSTEMTIME s;
  GetLocalTime(&s);
  return Convert(s);
}

SystemTime UtcTimeNow() {
  SYSTEMTIME s;
  GetSystemTime(&s);
  return Convert(s);
}

}  // namespace tessaly
