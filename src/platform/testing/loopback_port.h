#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace valico::testing {

// The far end of a real serial line, for tests: a port mapped to device() (with --com N=...)
// delivers what Valico writes to Read(), and Write() answers it. On POSIX a pseudo-terminal;
// on Windows a pair of COM ports linked to each other, named by VALICO_TEST_COM_PAIR="5:6"
// (Valico writes to COM5, the test reads COM6).
class LoopbackPort {
 public:
  // Null, with the reason, when this machine offers no such line.
  static std::unique_ptr<LoopbackPort> Create(std::string* why_not);
  virtual ~LoopbackPort() = default;

  virtual const std::string& device() const = 0;
  // Sends bytes back to Valico's end, as a device that answers.
  virtual bool Write(std::string_view bytes) = 0;

  // What has arrived: waits until `want` bytes have come or `limit` has passed, then takes
  // whatever else follows within a short quiet time, so extra bytes show up too.
  std::string Read(std::size_t want, std::chrono::milliseconds limit = std::chrono::seconds(3)) {
    using Clock = std::chrono::steady_clock;
    std::string got;
    auto deadline = Clock::now() + limit;
    for (bool quiet_phase = false;;) {
      if (got.size() >= want && !quiet_phase) {
        quiet_phase = true;
        deadline = Clock::now() + quiet_;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      std::string more = left.count() > 0 ? Take(left) : "";
      if (more.empty()) return got;
      got += more;
    }
  }

 protected:
  explicit LoopbackPort(std::chrono::milliseconds quiet) : quiet_(quiet) {}
  // Some bytes that have arrived, once any have come within `wait`; empty if none did.
  virtual std::string Take(std::chrono::milliseconds wait) = 0;

 private:
  std::chrono::milliseconds quiet_;
};

}  // namespace valico::testing
