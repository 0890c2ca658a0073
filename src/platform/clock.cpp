#include "platform/clock.h"

#include <thread>

namespace valico {

std::chrono::steady_clock::time_point SystemClock::Now() const {
  return std::chrono::steady_clock::now();
}

void SystemClock::SleepFor(std::chrono::milliseconds d) { std::this_thread::sleep_for(d); }

}  // namespace valico
