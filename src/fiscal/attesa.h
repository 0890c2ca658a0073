#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace valico {

// Waits `centesimi` hundredths of a second, measured on the clock's monotonic time so that
// midnight or a change of the wall clock neither shortens nor stretches it. The calling thread
// does nothing else meanwhile: no event is handled until the wait is over. A count of 0 or
// less returns at once.
void Attesa(Clock& clock, std::int16_t centesimi);

}  // namespace valico
