#include <windows.h>

#include "platform/clock.h"

namespace valico {

LocalTime SystemClock::LocalNow() const {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  // wDayOfWeek counts from Sunday = 0, as LocalTime does.
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

}  // namespace valico
