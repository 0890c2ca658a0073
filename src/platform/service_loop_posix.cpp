#include <signal.h>
#include <time.h>

#include <cerrno>

#include "platform/service_loop.h"

namespace valico {

void RunServiceLoop(std::chrono::milliseconds interval, long max_ticks,
                    const std::function<void()>& tick) {
  // Block the stop signals and collect them with sigtimedwait between ticks: no handler runs
  // asynchronously, so a stop request never lands in the middle of a tick.
  sigset_t stop, old;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, &old);

  auto next = std::chrono::steady_clock::now() + interval;
  for (long n = 0; max_ticks == 0 || n < max_ticks;) {
    auto now = std::chrono::steady_clock::now();
    if (now >= next) {
      tick();
      ++n;
      // A tick that ran long pushes the next one out instead of firing a burst.
      next = std::max(next + interval, std::chrono::steady_clock::now());
      continue;
    }
    auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(next - now);
    timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                static_cast<long>(wait.count() % 1000000000)};
    int sig = sigtimedwait(&stop, nullptr, &ts);
    if (sig == SIGINT || sig == SIGTERM) break;
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace valico
