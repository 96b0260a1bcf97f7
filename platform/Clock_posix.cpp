#include "Clock.h"

#include <sys/time.h>
#include <ctime>

namespace tessaly {
namespace {

SystemTime Convert(bool local) {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm parts{};
  if (local) localtime_r(&now.tv_sec, &parts); else gmtime_r(&now.tv_sec, &parts);
  SystemTime t;
  t.year = static_cast<uint16_t>(parts.tm_year + 1900);
  t.month = static_cast<uint16_t>(parts.tm_mon + 1);
  t.dayOfWeek = static_cast<uint16_t>(parts.tm_wday);
  t.day = static_cast<uint16_t>(parts.tm_mday);
  t.hour = static_cast<uint16_t>(parts.tm_hour);
  t.minute = static_cast<uint16_t>(parts.tm_min);
  t.second = static_cast<uint16_t>(parts.tm_sec);
  t.milliseconds = static_cast<uint16_t>(now.tv_usec / 1000);
  return t;
}

}  // namespace

SystemTime LocalTimeNow() { return Convert(true); }
SystemTime UtcTimeNow() { return Convert(false); }

}  // namespace tessaly
