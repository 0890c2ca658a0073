#include "platform/service_loop.h"

#include <algorithm>

namespace valico {

void RunTicks(std::chrono::milliseconds interval, long max_ticks, const std::function<void()>& tick,
              const std::function<bool(std::chrono::nanoseconds)>& wait_for_stop) {
  auto next = std::chrono::steady_clock::now() + interval;
  for (long n = 0; max_ticks == 0 || n < max_ticks;) {
    auto now = std::chrono::steady_clock::now();
    if (now >= next) {
      tick();
      ++n;
      next = std::max(next + interval, std::chrono::steady_clock::now());
      continue;
    }
    if (wait_for_stop(next - now)) break;
  }
}

}  // namespace valico
