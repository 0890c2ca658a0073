#include <time.h>

#include "platform/clock.h"

namespace valico {

LocalTime SystemClock::LocalNow() const {
  time_t now = ::time(nullptr);
  struct tm tm {};
  ::localtime_r(&now, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

}  // namespace valico
