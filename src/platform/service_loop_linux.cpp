#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>

#include "platform/service_loop.h"

namespace valico {

void RunServiceLoop(std::chrono::milliseconds interval, long max_ticks,
                    const std::function<bool()>& tick, const WakeSource& wake) {
  // Block the stop signals and collect them through a descriptor between ticks: no handler
  // runs asynchronously, so a stop request never lands in the middle of a tick.
  sigset_t stop, old;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, &old);
  int signals = ::signalfd(-1, &stop, SFD_CLOEXEC);

  pollfd fds[2] = {{signals, POLLIN, 0}, {static_cast<int>(wake.handle), POLLIN, 0}};
  nfds_t count = wake.handle >= 0 ? 2 : 1;
  RunTicks(
      interval, max_ticks, tick,
      [&](std::chrono::nanoseconds wait) {
        timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                    static_cast<long>(wait.count() % 1000000000)};
        int n = ::ppoll(fds, count, &ts, nullptr);
        if (n <= 0) return WaitEnd::kTimedOut;  // time out, or interrupted: look again
        if (fds[0].revents) {
          signalfd_siginfo info;
          if (::read(signals, &info, sizeof info) == sizeof info) return WaitEnd::kStop;
        }
        return fds[1].revents ? WaitEnd::kWoken : WaitEnd::kTimedOut;
      },
      [&] { return wake.woken && wake.woken(); });
  if (signals >= 0) ::close(signals);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace valico
