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
      : LoopbackPort(std::chrono::milliseconds(50)),
        master_(master),
        slave_(slave),
        device_(std::move(device)) {}
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

  std::string Take(std::chrono::milliseconds wait) override {
    pollfd p{master_, POLLIN, 0};
    int r;
    while ((r = ::poll(&p, 1, static_cast<int>(wait.count()))) < 0 && errno == EINTR) {
    }
    char buf[4096];
    ssize_t n = r > 0 && (p.revents & POLLIN) ? ::read(master_, buf, sizeof buf) : 0;
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
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
