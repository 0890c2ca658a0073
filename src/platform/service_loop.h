#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace valico {

// What may start a pass between the regular ticks: a system object that becomes ready (a file
// descriptor on POSIX, an event HANDLE on Windows; -1 for none) and what to do when it is:
// `woken` says whether a pass should run now.
struct WakeSource {
  std::intptr_t handle = -1;
  std::function<bool()> woken;
};

// Runs `tick` every `interval` until the user or the system asks the process to stop
// (SIGINT/SIGTERM on POSIX; Ctrl+C, Ctrl+Break and console close on Windows), or until
// `max_ticks` ticks have run (0: no limit). Between ticks a ready `wake` that says so runs a
// tick at once, and a tick that returns true (work left that it could take at once) is
// followed at once by the next; the regular ticks keep their cadence. Every run of `tick`
// counts. Ticks never overlap; a late tick is not made up twice. Per-OS.
void RunServiceLoop(std::chrono::milliseconds interval, long max_ticks,
                    const std::function<bool()>& tick, const WakeSource& wake);

// How a wait between ticks ended.
enum class WaitEnd { kTimedOut, kStop, kWoken };

// The schedule both systems share: a tick every `interval` until `max_ticks` (0: no limit) or
// until `wait` — which waits up to the time given for a stop request or a wake — says kStop.
// A tick that ran long pushes the next one out instead of firing a burst.
void RunTicks(std::chrono::milliseconds interval, long max_ticks, const std::function<bool()>& tick,
              const std::function<WaitEnd(std::chrono::nanoseconds)>& wait,
              const std::function<bool()>& woken);

}  // namespace valico
