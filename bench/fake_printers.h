// The devices of the print-queue benchmarks, as real endpoints on this machine: network
// printers as TCP servers on 127.0.0.1 (one that reads slowly and answers the status
// questions, one that accepts and never reads, one whose connections never complete) and a
// pole display on a pseudo-terminal. Header only: each benchmark program includes it.
#pragma once

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A file's whole contents written (its folders made first) and read back, as the benchmarks'
// set-up needs them; no error handling beyond what the measurement itself then shows.
inline void Write(const std::filesystem::path& p, const std::string& data) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

inline std::string Read(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A socket listening on 127.0.0.1 at a port of the system's choice.
inline int ListenOnLoopback(int backlog, int* port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::listen(fd, backlog) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    std::perror("listen on 127.0.0.1");
    std::exit(2);
  }
  *port = ntohs(a.sin_port);
  return fd;
}

// What a network printer received on one connection, in the order it accepted them.
struct Connection {
  std::string bytes;
  int answers = 0;  // status answers sent
  // When the last answer went out (wall clock, as Valico's log has it).
  std::chrono::system_clock::time_point answered;
  Clock::time_point accepted;
  bool confirmed() const { return answers >= 2; }
};

// A network printer's raw port: one connection at a time, in the order they come, read at
// most `bytes_per_second` (0: as fast as they come); every real-time status question
// (DLE EOT n) is answered once it has been read, as a printer that has taken every byte
// before it: online, with paper (0x12).
class SlowPrinter {
 public:
  explicit SlowPrinter(int bytes_per_second) : rate_(bytes_per_second) {
    listener_ = ListenOnLoopback(16, &port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~SlowPrinter() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<Connection> Connections() const {
    std::lock_guard lock(mu_);
    return connections_;
  }
  std::size_t confirmed() const {
    std::lock_guard lock(mu_);
    return std::count_if(connections_.begin(), connections_.end(),
                         [](const Connection& c) { return c.confirmed(); });
  }
  // When it last read or accepted anything.
  Clock::time_point last_activity() const { return last_activity_.load(); }

 private:
  void Serve() {
    while (!stop_) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::size_t index;
      {
        std::lock_guard lock(mu_);
        connections_.push_back(Connection{});
        connections_.back().accepted = Clock::now();
        index = connections_.size() - 1;
      }
      last_activity_ = Clock::now();
      Talk(fd, index);
      ::close(fd);
    }
  }

  void Talk(int fd, std::size_t index) {
    const std::size_t chunk = rate_ > 0 ? std::max(1, rate_ / 50) : 65536;
    int seen = 0;  // bytes of DLE EOT matched so far
    std::vector<char> buf(chunk);
    while (!stop_) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      ssize_t n = ::read(fd, buf.data(), chunk);
      if (n <= 0) return;  // closed or reset
      last_activity_ = Clock::now();
      int answers = 0;
      for (ssize_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(buf[i]);
        if (seen == 2 && b >= 1 && b <= 4) {
          ++answers;
          seen = 0;
        } else {
          seen = b == 0x10 ? 1 : (seen == 1 && b == 0x04 ? 2 : 0);
        }
      }
      {
        std::lock_guard lock(mu_);
        connections_[index].bytes.append(buf.data(), static_cast<std::size_t>(n));
      }
      for (int a = 0; a < answers; ++a) {
        if (::send(fd, "\x12", 1, MSG_NOSIGNAL) != 1) return;
        std::lock_guard lock(mu_);
        ++connections_[index].answers;
        connections_[index].answered = std::chrono::system_clock::now();
      }
      if (rate_ > 0) std::this_thread::sleep_for(std::chrono::microseconds(n * 1000000 / rate_));
    }
  }

  int rate_;
  int listener_ = -1, port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<Clock::time_point> last_activity_{Clock::now()};
  mutable std::mutex mu_;
  std::vector<Connection> connections_;
  std::thread thread_;
};

// A network printer that accepts every connection and never reads a byte.
class NeverReadingPrinter {
 public:
  NeverReadingPrinter() {
    listener_ = ListenOnLoopback(16, &port_);
    thread_ = std::thread([this] {
      while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) held_.push_back(fd);
      }
    });
  }
  ~NeverReadingPrinter() {
    stop_ = true;
    thread_.join();
    for (int fd : held_) ::close(fd);
    ::close(listener_);
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::size_t accepted() const { return held_.size(); }  // once stopped

 private:
  int listener_ = -1, port_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<int> held_;
  std::thread thread_;
};

// A network printer whose connections never complete: it never accepts, and its accept queue
// (backlog 0) is already full with one connection of ours, so the system drops every later
// connection request and the caller's connect() waits.
class NeverConnectingPrinter {
 public:
  NeverConnectingPrinter() {
    listener_ = ListenOnLoopback(0, &port_);
    filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port_));
    if (::connect(filler_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      std::perror("fill the accept queue");
      std::exit(2);
    }
  }
  ~NeverConnectingPrinter() {
    ::close(filler_);
    ::close(listener_);
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int listener_ = -1, filler_ = -1, port_ = 0;
};

// A pseudo-terminal whose far end the program under test opens; we read what it writes.
struct Terminal {
  int master = -1, slave = -1;
  std::string device;
  std::string pending;
  Terminal() {
    char name[256];
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
      std::perror("openpty");
      std::exit(2);
    }
    device = name;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
  }
  ~Terminal() {
    ::close(master);
    ::close(slave);
  }
  // Reads until `until` holds on what arrived, or `limit` passes; *first: when the first byte
  // came.
  bool ReadUntil(const std::function<bool(const std::string&)>& until,
                 std::chrono::milliseconds limit, Clock::time_point* first = nullptr) {
    auto end = Clock::now() + limit;
    bool got_first = !pending.empty();
    while (!until(pending)) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left <= 0ms) return false;
      pollfd p{master, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char buf[65536];
      ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) continue;
      if (!got_first && first) *first = Clock::now();
      got_first = true;
      pending.append(buf, static_cast<std::size_t>(n));
    }
    return true;
  }
};

// Percentiles of a sample, in the unit it was taken in.
struct Percentiles {
  double p50 = 0, p99 = 0, max = 0;
  std::size_t n = 0;
};
inline Percentiles Of(std::vector<double> v) {
  Percentiles p;
  p.n = v.size();
  if (v.empty()) return p;
  std::sort(v.begin(), v.end());
  auto at = [&](double q) {
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * v.size()))];
  };
  p.p50 = at(0.50);
  p.p99 = at(0.99);
  p.max = v.back();
  return p;
}

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace bench
