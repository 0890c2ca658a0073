#include <time.h>

#include "platform/clock.h"

namespace valico {

namespace {

LocalTime LocalTimeOf(time_t t) {
  struct tm tm {};
  ::localtime_r(&t, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

}  // namespace

LocalTime SystemClock::LocalNow() const { return LocalTimeOf(::time(nullptr)); }

LocalTime LocalTimeAt(std::int64_t ms) {
  return LocalTimeOf(static_cast<time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000));
}

}  // namespace valico
