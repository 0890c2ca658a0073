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
  // What has arrived: waits until `want` bytes have come or `limit` has passed, then takes
  // whatever else follows within a short quiet time, so extra bytes show up too.
  virtual std::string Read(std::size_t want,
                           std::chrono::milliseconds limit = std::chrono::seconds(3)) = 0;
  // Sends bytes back to Valico's end, as a device that answers.
  virtual bool Write(std::string_view bytes) = 0;
};

}  // namespace valico::testing
