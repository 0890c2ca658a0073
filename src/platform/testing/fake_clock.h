#pragma once

#include "platform/clock.h"

namespace valico::testing {

// A clock that moves only when someone sleeps on it or a test sets it.
class FakeClock : public Clock {
 public:
  std::chrono::steady_clock::time_point Now() const override { return now_; }
  void SleepFor(std::chrono::milliseconds d) override {
    now_ += d;
    slept_ += d;
  }
  LocalTime LocalNow() const override { return local_; }

  void Advance(std::chrono::milliseconds d) { now_ += d; }
  void SetLocal(LocalTime t) { local_ = t; }
  std::chrono::milliseconds slept() const { return slept_; }

 private:
  std::chrono::steady_clock::time_point now_{std::chrono::hours(1000)};
  std::chrono::milliseconds slept_{0};
  LocalTime local_{2026, 12, 5, 8, 30, 0, 6};
};

}  // namespace valico::testing
