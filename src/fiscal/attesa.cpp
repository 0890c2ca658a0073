#include "fiscal/attesa.h"

namespace valico {

void Attesa(Clock& clock, std::int16_t centesimi) {
  using std::chrono::milliseconds;
  if (centesimi <= 0) return;
  const auto end = clock.Now() + milliseconds(10 * static_cast<int>(centesimi));
  for (auto now = clock.Now(); now < end; now = clock.Now()) {
    // Sleep for what is left, rounded up, rather than spin on the clock.
    auto left = std::chrono::ceil<milliseconds>(end - now);
    clock.SleepFor(left);
  }
}

}  // namespace valico
