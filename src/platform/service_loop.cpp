#include "platform/service_loop.h"

#include <algorithm>

namespace valico {

void RunTicks(std::chrono::milliseconds interval, long max_ticks, const std::function<bool()>& tick,
              const std::function<WaitEnd(std::chrono::nanoseconds)>& wait,
              const std::function<bool()>& woken) {
  using Clock = std::chrono::steady_clock;
  auto next = Clock::now() + interval;
  bool again = false;  // the last tick left work it could take at once
  for (long n = 0; max_ticks == 0 || n < max_ticks;) {
    auto now = Clock::now();
    bool due = now >= next;
    // Between passes that follow each other at once, a stop request is still looked for.
    WaitEnd end = due ? WaitEnd::kTimedOut : wait(again ? Clock::duration::zero() : next - now);
    if (end == WaitEnd::kStop) break;
    if (end == WaitEnd::kWoken && !woken() && !again) continue;
    if (end == WaitEnd::kTimedOut && !due && !again) continue;
    again = tick();
    ++n;
    if (due) next = std::max(next + interval, Clock::now());
  }
}

}  // namespace valico
