#pragma once

#include <chrono>
#include <thread>

namespace valico::testing {

// For tests of real programs in real time only: polls `pred` every 20 ms until it holds or
// `limit` has passed, and says whether it held. Core tests drive the tick instead.
template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return pred();
}

}  // namespace valico::testing
