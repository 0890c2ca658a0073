#include <windows.h>

#include "platform/clock.h"

namespace valico {

LocalTime SystemClock::LocalNow() const {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  // wDayOfWeek counts from Sunday = 0, as LocalTime does.
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

LocalTime LocalTimeAt(std::int64_t ms) {
  // FILETIME counts 100 ns from 1601; the time zone's rules of that year apply.
  ULARGE_INTEGER ticks;
  ticks.QuadPart = static_cast<ULONGLONG>(ms) * 10000 + 116444736000000000ULL;
  FILETIME ft{ticks.LowPart, ticks.HighPart};
  SYSTEMTIME utc{}, st{};
  if (!::FileTimeToSystemTime(&ft, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st))
    return LocalTime{};
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

}  // namespace valico
