#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/testing/loopback_port.h"

namespace valico::testing {
namespace {

class PtyLoopback : public LoopbackPort {
 public:
  PtyLoopback(int master, int slave, std::string device)
      : master_(master), slave_(slave), device_(std::move(device)) {}
  // The test keeps the slave side open too, so that the master never reads a hang-up while
  // Valico closes and reopens its port.
  ~PtyLoopback() override {
    ::close(slave_);
    ::close(master_);
  }

  const std::string& device() const override { return device_; }

  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t n = ::write(master_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  std::string Read(std::size_t want, std::chrono::milliseconds limit) override {
    using Clock = std::chrono::steady_clock;
    std::string got;
    auto deadline = Clock::now() + limit;
    bool quiet_phase = false;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (got.size() >= want && !quiet_phase) {
        quiet_phase = true;
        deadline = Clock::now() + std::chrono::milliseconds(50);
        left = std::chrono::milliseconds(50);
      }
      if (left.count() <= 0) return got;
      pollfd p{master_, POLLIN, 0};
      int r = ::poll(&p, 1, static_cast<int>(left.count()));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0 || !(p.revents & POLLIN)) return got;
      char buf[4096];
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) return got;
      got.append(buf, static_cast<std::size_t>(n));
    }
  }

 private:
  int master_;
  int slave_;
  std::string device_;
};

}  // namespace

std::unique_ptr<LoopbackPort> LoopbackPort::Create(std::string* why_not) {
  int master = -1, slave = -1;
  char name[256] = {};
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    if (why_not) *why_not = std::string("openpty: ") + std::strerror(errno);
    return nullptr;
  }
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  return std::make_unique<PtyLoopback>(master, slave, name);
}

}  // namespace valico::testing
