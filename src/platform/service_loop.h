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

}  // namespace valico
