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

  RunTicks(interval, max_ticks, tick, [&](std::chrono::nanoseconds wait) {
    timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                static_cast<long>(wait.count() % 1000000000)};
    int sig = sigtimedwait(&stop, nullptr, &ts);
    return sig == SIGINT || sig == SIGTERM;
  });
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace valico
