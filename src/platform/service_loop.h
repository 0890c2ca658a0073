#pragma once

#include <chrono>
#include <functional>

namespace valico {

// Runs `tick` every `interval` until the user or the system asks the process to stop
// (SIGINT/SIGTERM on POSIX; Ctrl+C, Ctrl+Break and console close on Windows), or until
// `max_ticks` ticks have run (0: no limit). Ticks never overlap; a late tick is not made up
// twice. Per-OS.
void RunServiceLoop(std::chrono::milliseconds interval, long max_ticks,
                    const std::function<void()>& tick);

// The schedule both systems share: a tick every `interval` until `max_ticks` (0: no limit) or
// until `wait_for_stop` — which waits up to the time given and says whether a stop was asked —
// returns true. A tick that ran long pushes the next one out instead of firing a burst.
void RunTicks(std::chrono::milliseconds interval, long max_ticks, const std::function<void()>& tick,
              const std::function<bool(std::chrono::nanoseconds)>& wait_for_stop);

}  // namespace valico
