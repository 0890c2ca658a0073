#include "printing/posix/tcp_printer_posix.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace valico {
namespace {

using AddressList = std::unique_ptr<addrinfo, decltype(&freeaddrinfo)>;

// Looks a host name up within the limits: the lookup runs on a thread of its own, which is
// left to finish alone when the deadline or the stop comes first.
AddressList Lookup(const std::string& host, const std::string& port, const DeliveryLimits& limits,
                   std::string* err) {
  struct Shared {
    std::mutex mu;
    std::condition_variable_any cv;
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
  if (!shared->cv.wait_until(lock, limits.stop, limits.deadline, [&] { return shared->done; })) {
    *err = limits.stop.stop_requested()
               ? "delivery stopped while looking up " + host
               : "looking up " + host + " took longer than " + limits.Bound();
    return {nullptr, freeaddrinfo};
  }
  if (shared->rc != 0) {
    *err = "cannot find " + host + ": " + gai_strerror(shared->rc);
    return {nullptr, freeaddrinfo};
  }
  return {std::exchange(shared->result, nullptr), freeaddrinfo};
}

// Connects to the first address that answers; null with *failure when none does in time.
std::unique_ptr<PrinterChannel> Connect(const addrinfo* list, const std::string& name,
                                        const DeliveryLimits& limits, std::string* failure) {
  std::string last = "no address";
  for (const addrinfo* a = list; a; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    auto printer = std::make_unique<PrinterChannel>(fd, name, limits);
    if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
      last = std::strerror(errno);
      continue;
    }
    if (Io r = printer->WaitFor(POLLOUT); r != Io::kDone) {
      *failure = r == Io::kTimedOut
                     ? "connecting to " + name + " took longer than " + limits.Bound()
                     : printer->Failure(r);
      return nullptr;
    }
    int so_error = 0;
    socklen_t len = sizeof so_error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &len);
    if (so_error == 0) return printer;
    last = std::strerror(so_error);
  }
  *failure = "cannot connect to " + name + ": " + last;
  return nullptr;
}

// The printer closed its side: in order only once it had read every byte, as a printer that
// closes with bytes unread resets the connection instead. The acknowledgement of the last
// bytes may still be on its way: wait for it, or for the reset.
Io AwaitAcknowledged(PrinterChannel& printer, std::size_t total, const DeliveryLimits& limits,
                     int* error) {
  while (printer.Taken() < total) {
    socklen_t len = sizeof *error;
    if (::getsockopt(printer.fd(), SOL_SOCKET, SO_ERROR, error, &len) == 0 && *error != 0)
      return Io::kFailed;
    if (limits.stop.stop_requested()) return Io::kStopped;
    if (DeliveryLimits::Clock::now() >= limits.deadline) return Io::kTimedOut;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Io::kDone;
}

// Without the status question: the end of the document is the end of the stream, and a
// printer that has read it closes its side.
DeliveryResult AwaitClose(PrinterChannel& printer, const std::string& sent, std::size_t total,
                          const DeliveryLimits& limits) {
  ::shutdown(printer.fd(), SHUT_WR);
  Io r = printer.ReadUntilClosed();
  int error = 0;
  if (r == Io::kClosed) r = AwaitAcknowledged(printer, total, limits, &error);
  if (r == Io::kDone) return {Delivery::kPrinted, sent + ", which took every byte and closed"};
  if (r == Io::kTimedOut && printer.Taken() == total)
    return {Delivery::kHandedOver,
            sent + ", which took every byte but did not close in " + limits.Bound()};
  if (r == Io::kTimedOut) return {Delivery::kFailed, printer.WriteFailure(r, total)};
  if (error != 0)
    return {Delivery::kFailed, printer.name() + " closed the connection after taking " +
                                   std::to_string(printer.Taken()) + " of " +
                                   std::to_string(total) + " bytes (" + std::strerror(error) + ")"};
  return {Delivery::kFailed, printer.Failure(r)};
}

// "HOST:PORT" or "[IPV6]:PORT": false when it is neither.
bool SplitAddress(std::string_view address, std::string* host, int* port) {
  size_t colon = address.rfind(':');
  if (colon == std::string_view::npos) return false;
  auto [end, ec] =
      std::from_chars(address.data() + colon + 1, address.data() + address.size(), *port);
  if (ec != std::errc() || end != address.data() + address.size() || *port <= 0 || *port > 65535)
    return false;
  *host = std::string(address.substr(0, colon));
  if (host->size() > 2 && host->front() == '[' && host->back() == ']')
    *host = host->substr(1, host->size() - 2);
  return !host->empty();
}

}  // namespace

DeliveryResult DeliverTcp(std::string_view address, std::string_view bytes, bool ask_status,
                          const DeliveryLimits& limits) {
  std::string name = "tcp://" + std::string(address), host, err;
  int port = 0;
  if (!SplitAddress(address, &host, &port))
    return {Delivery::kFailed, name + " is not tcp://HOST:PORT"};
  AddressList list = Lookup(host, std::to_string(port), limits, &err);
  if (!list) return {Delivery::kFailed, err};
  std::unique_ptr<PrinterChannel> connected = Connect(list.get(), name, limits, &err);
  if (!connected) return {Delivery::kFailed, err};
  PrinterChannel& printer = *connected;
  std::string sent = std::to_string(bytes.size()) + " bytes to " + name;
  std::string all(bytes);
  if (ask_status) all += kStatusQuestions;
  if (Io r = printer.Write(all); r != Io::kDone)
    return {Delivery::kFailed, printer.WriteFailure(r, all.size())};
  return ask_status ? printer.AwaitStatus(sent) : AwaitClose(printer, sent, all.size(), limits);
}

bool TcpPrinterAccepts(std::string_view address, std::chrono::milliseconds bound,
                       std::string* found) {
  DeliveryLimits limits(bound, {});
  std::string name = "tcp://" + std::string(address), host;
  int port = 0;
  if (!SplitAddress(address, &host, &port)) {
    *found = name + " is not tcp://HOST:PORT";
    return false;
  }
  AddressList list = Lookup(host, std::to_string(port), limits, found);
  if (!list) return false;
  if (!Connect(list.get(), name, limits, found)) return false;
  *found = name + " accepts connections";
  return true;
}

}  // namespace valico
