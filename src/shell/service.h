#pragma once

#include "core/context.h"

namespace valico {

// The headless service: the start-up sequence, then a tick every 500 ms until the process is
// asked to stop (or `max_ticks` ticks have run, when above 0), then the exit sequence.
int RunService(Context& ctx, long max_ticks);

}  // namespace valico
