// Serial ports on POSIX: a terminal device in raw mode, written and read without blocking.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/diag_log.h"
#include "platform/serial_port.h"
#include "platform/unique_fd_posix.h"

namespace valico {
namespace {

bool Fail(std::string* err, const std::string& why) {
  if (err) *err = why;
  return false;
}

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

bool BaudConstant(int baud, speed_t* out, std::string* err) {
  static constexpr struct {
    int baud;
    speed_t constant;
  } kRates[] = {
      {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
      {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
      {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
      {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
  };
  for (const auto& r : kRates) {
    if (r.baud == baud) {
      *out = r.constant;
      return true;
    }
  }
  return Fail(err, "baud rate " + std::to_string(baud) + " is not supported here");
}

bool SameLine(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc) &&
         ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

// Raw 8-bit line with the given framing and no flow control of any kind: the displays and
// printers on these ports have no handshake lines wired.
// A line that already has them (set up so by the last job on the port) is left as it is:
// applying settings costs the system three calls.
bool ApplySettings(int fd, const std::string& device, const SerialSettings& s, std::string* err) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) {
    if (errno == ENOTTY) return Fail(err, device + " is not a serial port");
    return Fail(err, Errno(device + ": cannot read the line settings"));
  }
  const termios before = t;
  // Raw mode: no LF becomes CR LF, no byte is swallowed or echoed.
  ::cfmakeraw(&t);
  speed_t speed;
  if (!BaudConstant(s.baud, &speed, err)) return Fail(err, device + ": " + *err);
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);

  t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
  switch (s.parity) {
    case Parity::kNone:
      break;
    case Parity::kEven:
      t.c_cflag |= PARENB;
      break;
    case Parity::kOdd:
      t.c_cflag |= PARENB | PARODD;
      break;
    case Parity::kMark:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case Parity::kSpace:
      t.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      return Fail(err, device + ": parity setting is not supported");
  }
  t.c_cflag &= ~CSIZE;
  switch (s.data_bits) {
    case 5:
      t.c_cflag |= CS5;
      break;
    case 6:
      t.c_cflag |= CS6;
      break;
    case 7:
      t.c_cflag |= CS7;
      break;
    case 8:
      t.c_cflag |= CS8;
      break;
    default:
      return Fail(err,
                  device + ": data bits " + std::to_string(s.data_bits) + " are not supported");
  }
  switch (s.stop_bits) {
    case StopBits::kOne:
      t.c_cflag &= ~CSTOPB;
      break;
    // termios has no 1.5: with CSTOPB a 16550-type UART sends 1.5 stop bits for 5-bit words
    // and 2 for longer ones, the closest a receiver expecting 1.5 will accept.
    case StopBits::kOnePointFive:
      t.c_cflag |= CSTOPB;
      break;
    case StopBits::kTwo:
      t.c_cflag |= CSTOPB;
      break;
    default:
      return Fail(err, device + ": stop bits setting is not supported");
  }
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~CRTSCTS;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (SameLine(before, t)) return true;
  if (::tcsetattr(fd, TCSANOW, &t) != 0)
    return Fail(err, Errno(device + ": cannot apply the line settings"));
  return true;
}

class PosixSerialLine : public SerialLine {
 public:
  PosixSerialLine(int fd, std::string device, std::chrono::milliseconds bound)
      : fd_(fd), device_(std::move(device)), bound_(bound) {}

  // The descriptor is non-blocking: a port whose far end stopped taking bytes fills the
  // driver's buffer, and poll() then waits at most until the deadline.
  bool Write(std::string_view bytes, std::string* err) override {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + bound_;
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        return Fail(err, Errno("write to " + device_));
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return TimedOut(done, bytes.size(), err);
      pollfd p{fd_.get(), POLLOUT, 0};
      int r = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
      if (r < 0 && errno != EINTR) return Fail(err, Errno("wait for " + device_));
      if (r == 0) return TimedOut(done, bytes.size(), err);
      if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLOUT))
        return Fail(err, device_ + " hung up");
    }
    return true;
  }

  bool Read(std::size_t want, std::chrono::milliseconds wait, std::string* out,
            std::string* err) override {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    std::size_t got = 0;
    bool readable = false;  // poll() said so: a read that then finds nothing is a hang-up
    while (got < want) {
      char buf[512];
      ssize_t n = ::read(fd_.get(), buf, std::min(sizeof buf, want - got));
      if (n > 0) {
        out->append(buf, static_cast<std::size_t>(n));
        got += static_cast<std::size_t>(n);
        readable = false;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        return Fail(err, Errno("read from " + device_));
      if (readable) return Fail(err, device_ + " hung up");
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return true;
      pollfd p{fd_.get(), POLLIN, 0};
      int r = ::poll(&p, 1, static_cast<int>(left.count()));
      if (r < 0 && errno != EINTR) return Fail(err, Errno("wait for " + device_));
      if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLIN))
        return Fail(err, device_ + " hung up");
      readable = r > 0;
    }
    return true;
  }

 private:
  bool TimedOut(std::size_t done, std::size_t total, std::string* err) const {
    return Fail(err, device_ + " took " + std::to_string(done) + " of " + std::to_string(total) +
                         " bytes in " + std::to_string(bound_.count()) + " ms");
  }

  UniqueFd fd_;
  std::string device_;
  std::chrono::milliseconds bound_;
};

class PosixSerialPorts : public SerialPorts {
 public:
  PosixSerialPorts(std::map<int, std::string> devices, std::chrono::milliseconds bound)
      : devices_(std::move(devices)), bound_(bound) {}

  std::unique_ptr<SerialLine> Open(int port, const SerialSettings& settings, std::size_t,
                                   std::size_t, std::string* err) override {
    // The terminal driver sizes its own buffers; the requested sizes have nothing to set.
    if (port < 1) {
      Fail(err, "COM" + std::to_string(port) + " is not a port number");
      return nullptr;
    }
    auto it = devices_.find(port);
    std::string device = it != devices_.end() ? it->second : "/dev/ttyS" + std::to_string(port - 1);
    // O_NOCTTY: a port must never become Valico's controlling terminal.
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      Fail(err, Errno("cannot open " + device));
      return nullptr;
    }
    std::string why;
    if (ApplySettings(fd, device, settings, &why))
      return std::make_unique<PosixSerialLine>(fd, device, bound_);
    ::close(fd);
    Fail(err, why);
    return nullptr;
  }

 private:
  std::map<int, std::string> devices_;
  std::chrono::milliseconds bound_;
};

}  // namespace

std::unique_ptr<SerialPorts> MakeNativeSerialPorts(const std::map<int, std::string>& devices,
                                                   DiagLog&, std::chrono::milliseconds bound) {
  return std::make_unique<PosixSerialPorts>(devices, bound);
}

}  // namespace valico
