#pragma once

#include <chrono>
#include <cstdint>

namespace valico {

// Local calendar time, as the workstation's regional settings show it.
struct LocalTime {
  int year = 2000;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;
  int weekday = 0;  // 0 = Sunday .. 6 = Saturday
};

// Time as the system needs it. Waits use the monotonic clock so that a change of the wall
// clock or midnight does not shorten or stretch them. Tests inject a fake.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::steady_clock::time_point Now() const = 0;
  virtual void SleepFor(std::chrono::milliseconds d) = 0;
  virtual LocalTime LocalNow() const = 0;
};

// The local calendar time of a wall-clock instant (milliseconds since 1970, UTC), by the
// machine's time zone and its daylight-saving rules at that instant. Per-OS.
LocalTime LocalTimeAt(std::int64_t ms_since_1970);

class SystemClock : public Clock {
 public:
  std::chrono::steady_clock::time_point Now() const override;
  void SleepFor(std::chrono::milliseconds d) override;
  LocalTime LocalNow() const override;  // per-OS
};

}  // namespace valico
