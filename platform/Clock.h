// Calendar time in the layout of a Windows SYSTEMTIME.
#pragma once

#include <cstdint>

namespace tessaly {

struct SystemTime {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

SystemTime LocalTimeNow();  // GetLocalTime
SystemTime UtcTimeNow();    // GetSystemTime

}  // namespace tessaly
