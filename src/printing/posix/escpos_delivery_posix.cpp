#include "printing/posix/escpos_delivery_posix.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/serial_port.h"
#include "printing/device_fonts.h"

namespace valico {
namespace {

using Clock = std::chrono::steady_clock;

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

int MillisLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Closes a descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// Writes everything to a non-blocking descriptor, waiting for room until the deadline.
bool WriteAll(int fd, std::string_view bytes, Clock::time_point deadline, const std::string& name,
              std::string* err) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == ENOTSOCK) n = ::write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      *err = Errno("writing to " + name);
      return false;
    }
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, MillisLeft(deadline)) == 0) {
      *err = name + " took no bytes in time (" + std::to_string(bytes.size()) + " left)";
      return false;
    }
  }
  return true;
}

// A pipe whose reader went away would end Valico with SIGPIPE: while it lives, the signal is
// held back in this thread, and one raised meanwhile is taken away before it is let through.
class SigpipeHeld {
 public:
  SigpipeHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigpipeHeld() {
    timespec none{};
    if (!was_pending_) sigtimedwait(&pipe_, nullptr, &none);
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_, old_;
  bool was_pending_ = false;
};

bool WriteDevice(const std::string& path, std::string_view bytes, Clock::time_point deadline,
                 std::string* err) {
  SigpipeHeld held;
  // Never created: a printer that is switched off or unplugged must not leave a plain file
  // where its device should be.
  Fd f{::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0) {
    *err = Errno("cannot open " + path);
    return false;
  }
  return WriteAll(f.fd, bytes, deadline, path, err);
}

bool WriteSerial(int port, std::string_view settings_text, std::string_view bytes,
                 SerialPorts* ports, std::string* err) {
  SerialSettings settings;
  if (!settings_text.empty() && !ParseSerialSettings(settings_text, &settings, err)) return false;
  if (!ports) {
    *err = "no serial ports in this program";
    return false;
  }
  auto line = ports->Open(port, settings, 1024, bytes.size(), err);
  return line && line->Write(bytes, err);
}

// Looks a host name up within the deadline: the lookup runs on a thread of its own, which is
// left to finish alone when the deadline passes first.
bool Lookup(const std::string& host, const std::string& port, Clock::time_point deadline,
            addrinfo** out, std::string* err) {
  struct Shared {
    std::mutex mu;
    std::condition_variable cv;
    bool done = false;
    int rc = 0;
    addrinfo* result = nullptr;
    ~Shared() {
      if (result) freeaddrinfo(result);
    }
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, host, port] {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, &res);
    std::lock_guard lock(shared->mu);
    shared->rc = rc;
    shared->result = res;
    shared->done = true;
    shared->cv.notify_all();
  }).detach();
  std::unique_lock lock(shared->mu);
  if (!shared->cv.wait_until(lock, deadline, [&] { return shared->done; })) {
    *err = "looking up " + host + " took too long";
    return false;
  }
  if (shared->rc != 0) {
    *err = "cannot find " + host + ": " + gai_strerror(shared->rc);
    return false;
  }
  *out = shared->result;
  shared->result = nullptr;
  return true;
}

bool WriteTcp(std::string_view address, std::string_view bytes, Clock::time_point deadline,
              std::string* err) {
  size_t colon = address.rfind(':');
  int port_number = 0;
  if (colon == std::string_view::npos ||
      std::from_chars(address.data() + colon + 1, address.data() + address.size(), port_number)
              .ptr != address.data() + address.size() ||
      port_number <= 0 || port_number > 65535) {
    *err = "tcp://" + std::string(address) + " is not tcp://HOST:PORT";
    return false;
  }
  std::string host(address.substr(0, colon));
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  std::string name = "tcp://" + std::string(address);
  addrinfo* list = nullptr;
  if (!Lookup(host, std::to_string(port_number), deadline, &list, err)) return false;
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> hold(list, freeaddrinfo);
  std::string last = "no address";
  for (addrinfo* a = list; a; a = a->ai_next) {
    Fd s{::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol)};
    if (s.fd < 0) continue;
    if (::connect(s.fd, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
      last = std::strerror(errno);
      continue;
    }
    pollfd p{s.fd, POLLOUT, 0};
    if (::poll(&p, 1, MillisLeft(deadline)) == 0) {
      *err = "connecting to " + name + " took too long";
      return false;
    }
    int so_error = 0;
    socklen_t len = sizeof so_error;
    ::getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &so_error, &len);
    if (so_error != 0) {
      last = std::strerror(so_error);
      continue;
    }
    return WriteAll(s.fd, bytes, deadline, name, err);
  }
  *err = "cannot connect to " + name + ": " + last;
  return false;
}

// "COMn" or "COMn,settings": true with the port number and the settings text.
bool SerialTarget(std::string_view target, int* port, std::string_view* settings) {
  if (target.size() < 4 || !SameNameNoCase(target.substr(0, 3), "COM")) return false;
  size_t comma = target.find(',');
  std::string_view number =
      target.substr(3, comma == std::string_view::npos ? target.npos : comma - 3);
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), *port);
  if (ec != std::errc() || end != number.data() + number.size() || *port <= 0) return false;
  *settings = comma == std::string_view::npos ? std::string_view() : target.substr(comma + 1);
  return true;
}

}  // namespace

DeliveryResult DeliverEscPos(std::string_view target, std::string_view bytes,
                             const std::string& home, SerialPorts* ports,
                             std::chrono::milliseconds bound, std::stop_token) {
  auto deadline = Clock::now() + bound;
  int port = 0;
  std::string_view settings;
  std::string err;
  bool ok = false;
  if (SerialTarget(target, &port, &settings))
    ok = WriteSerial(port, settings, bytes, ports, &err);
  else if (target.substr(0, 6) == "tcp://")
    ok = WriteTcp(target.substr(6), bytes, deadline, &err);
  else {
    std::filesystem::path path(target);
    if (path.is_relative()) path = std::filesystem::path(home) / path;
    ok = WriteDevice(path.string(), bytes, deadline, &err);
  }
  if (!ok) return {Delivery::kFailed, err};
  return {Delivery::kHandedOver, std::to_string(bytes.size()) + " bytes to " + std::string(target)};
}

}  // namespace valico
