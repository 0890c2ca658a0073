#include "printing/posix/escpos_delivery_posix.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace valico {
namespace {

using namespace std::chrono_literals;

const std::string kQuestions("\x10\x04\x01\x10\x04\x04", 6);

// What a network printer does with its one connection: `fd` is closed after it, unless the
// script closed it and set it to -1; `received` keeps what it read.
using Script = std::function<void(int& fd, std::string* received, std::stop_token)>;

// Reads what has come (waiting in slices, to see a stop); false at the end of the stream.
bool ReadSome(int fd, std::string* received, std::stop_token stop, std::size_t at_most = 65536) {
  while (!stop.stop_requested()) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    std::string buf(at_most, '\0');
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n <= 0) return false;
    received->append(buf, 0, static_cast<std::size_t>(n));
    return true;
  }
  return false;
}

void WaitForStop(std::stop_token stop) {
  std::mutex mu;
  std::condition_variable_any cv;
  std::unique_lock lock(mu);
  cv.wait(lock, stop, [] { return false; });
}

// Answers each status question as it comes: `status` to DLE EOT 1, `paper` to DLE EOT 4.
Script Answers(char status, char paper) {
  return [=](int& fd, std::string* got, std::stop_token stop) {
    std::size_t asked = 0;
    while (ReadSome(fd, got, stop)) {
      for (std::size_t at;
           (at = got->find("\x10\x04", asked)) != std::string::npos && at + 2 < got->size();
           asked = at + 3)
        EXPECT_EQ(::write(fd, (*got)[at + 2] == 1 ? &status : &paper, 1), 1);
    }
  };
}
void TakesAllKeepsOpen(int& fd, std::string* got, std::stop_token stop) {
  while (ReadSome(fd, got, stop)) {
  }
  WaitForStop(stop);
}
void NeverReads(int&, std::string*, std::stop_token stop) { WaitForStop(stop); }
void Resets(int& fd, std::string*, std::stop_token) {
  linger hard{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  ::close(fd);
  fd = -1;
}
// Reads 1 KB every 100 ms and closes at the end of the stream.
void SlowSink(int& fd, std::string* got, std::stop_token stop) {
  while (ReadSome(fd, got, stop, 1024)) std::this_thread::sleep_for(100ms);
}

enum class Listener { kAccepts, kBacklogFull, kGone };

// A network printer on 127.0.0.1 that plays a script on the first connection it takes; or a
// listener whose backlog is full, which leaves a new connection unanswered; or a port where
// nothing listens.
class NetworkPrinter {
 public:
  NetworkPrinter(Listener kind, Script script) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof address_;
    // A small receive window: a printer that stops reading soon stops the sender.
    int small = 4096;
    ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address_), sizeof address_);
    ::listen(listener_, kind == Listener::kBacklogFull ? 0 : 1);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &len);
    target_ = "tcp://127.0.0.1:" + std::to_string(ntohs(address_.sin_port));
    if (kind == Listener::kGone) ::close(std::exchange(listener_, -1));
    if (kind == Listener::kBacklogFull) FillBacklog();
    if (kind != Listener::kAccepts) return;
    player_ = std::jthread([this, script](std::stop_token stop) {
      int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      accepted_.set_value();
      script(fd, &received_, stop);
      if (fd >= 0) ::close(fd);
    });
  }
  ~NetworkPrinter() {
    player_.request_stop();
    if (listener_ >= 0) ::shutdown(listener_, SHUT_RDWR);
    if (player_.joinable()) player_.join();
    for (int fd : fillers_) ::close(fd);
    if (listener_ >= 0) ::close(listener_);
  }
  const std::string& target() const { return target_; }
  void WaitUntilAccepted() { accepted_.get_future().wait(); }
  // What the printer read, once it has ended.
  std::string Received() {
    player_.request_stop();
    player_.join();
    return received_;
  }

 private:
  // Connections that complete but are never accepted, until one does not complete.
  void FillBacklog() {
    for (int i = 0; i < 8; ++i) {
      int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      ::connect(fd, reinterpret_cast<sockaddr*>(&address_), sizeof address_);
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, 500) == 0) {
        ::close(fd);
        return;
      }
      fillers_.push_back(fd);
    }
  }

  int listener_ = -1;
  sockaddr_in address_{};
  std::string target_;
  std::vector<int> fillers_;
  std::promise<void> accepted_;
  std::string received_;
  std::jthread player_;
};

TEST(EscPosDeliveryTest, NetworkPrintersArePrintedOnlyWhenTheyConfirm) {
  struct Row {
    const char* name;
    Listener listener;
    Script script;
    bool ask_status;
    std::size_t size;
    std::chrono::milliseconds bound;
    Delivery status;
    std::string detail;
    bool stop = false;  // stopped once the printer took the connection
  } rows[] = {
      {"answers online with paper", Listener::kAccepts, Answers(0x12, 0x12), true, 1000, 60s,
       Delivery::kPrinted, "1000 bytes to tcp://127.0.0.1:"},
      {"answers paper near its end", Listener::kAccepts, Answers(0x12, 0x1E), true, 1000, 60s,
       Delivery::kPrinted, "online; warning: its paper is near the end"},
      {"answers paper end", Listener::kAccepts, Answers(0x12, 0x72), true, 1000, 60s,
       Delivery::kFailed, "is out of paper (paper sensor 72)"},
      {"answers offline", Listener::kAccepts, Answers(0x1A, 0x12), true, 1000, 60s,
       Delivery::kFailed, "is offline (status 1A)"},
      {"answers nothing", Listener::kAccepts, TakesAllKeepsOpen, true, 1000, 1s, Delivery::kFailed,
       "did not answer the status question in 1000 ms"},
      {"resets without reading a byte", Listener::kAccepts, Resets, true, 1000, 60s,
       Delivery::kFailed, "reset"},  // during the connection or after it, as it happens
      {"accepts and never reads", Listener::kAccepts, NeverReads, false, 8 << 20, 1s,
       Delivery::kFailed, " of 8388608 bytes in 1000 ms"},
      {"never completes the connection", Listener::kBacklogFull, nullptr, true, 1000, 1s,
       Delivery::kFailed, "took longer than 1000 ms"},
      {"is not there", Listener::kGone, nullptr, true, 1000, 60s, Delivery::kFailed,
       "Connection refused"},
      {"reads 10 KB/s and closes when done", Listener::kAccepts, SlowSink, false, 5000, 60s,
       Delivery::kPrinted, ", which took every byte and closed"},
      {"takes every byte and never closes", Listener::kAccepts, TakesAllKeepsOpen, false, 1000, 1s,
       Delivery::kHandedOver, "which took every byte but did not close in 1000 ms"},
      {"is stopped while it never reads", Listener::kAccepts, NeverReads, true, 8 << 20, 60s,
       Delivery::kFailed, "stopped", true},
  };
  for (const Row& row : rows) {
    NetworkPrinter printer(row.listener, row.script);
    std::string document(row.size, 'x');
    std::stop_source stop;
    std::jthread stopper;
    if (row.stop) stopper = std::jthread([&] { printer.WaitUntilAccepted(), stop.request_stop(); });
    auto start = std::chrono::steady_clock::now();
    DeliveryResult r = DeliverEscPos(printer.target(), document, row.ask_status, "", nullptr,
                                     row.bound, stop.get_token());
    if (row.stop) {
      EXPECT_LT(std::chrono::steady_clock::now() - start, 30s) << "before its bound";
    }
    EXPECT_EQ(r.status, row.status) << row.name << ": " << r.detail;
    EXPECT_NE(r.detail.find(row.detail), std::string::npos) << row.name << ": " << r.detail;
    if (r.status == Delivery::kPrinted) {
      EXPECT_EQ(printer.Received(), document + (row.ask_status ? kQuestions : "")) << row.name;
    }
  }
}

}  // namespace
}  // namespace valico
