#include "printing/posix/printer_channel_posix.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace valico {
namespace {

constexpr std::chrono::milliseconds kSlice{100};

std::string Strerror(int error) { return std::strerror(error); }

}  // namespace

Io PrinterChannel::WaitFor(short events) {
  for (;;) {
    if (limits_.stop.stop_requested()) return Io::kStopped;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limits_.deadline -
                                                                      DeliveryLimits::Clock::now());
    if (left.count() <= 0) return Io::kTimedOut;
    pollfd p{fd_.get(), events, 0};
    int r = ::poll(&p, 1, static_cast<int>(std::min(left, kSlice).count()) + 1);
    if (r > 0) return Io::kDone;
    if (r < 0 && errno != EINTR) {
      error_ = errno;
      return Io::kFailed;
    }
  }
}

Io PrinterChannel::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == ENOTSOCK) n = ::write(fd_.get(), bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      written_ += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      error_ = errno;
      return Io::kFailed;
    }
    if (Io r = WaitFor(POLLOUT); r != Io::kDone) return r;
  }
  return Io::kDone;
}

std::size_t PrinterChannel::Taken() const {
  // SIOCOUTQ (TIOCOUTQ on a terminal): bytes sent but not yet acknowledged, or not yet out.
  int unsent = 0;
  if (::ioctl(fd_.get(), TIOCOUTQ, &unsent) != 0 || unsent < 0) return written_;
  return written_ - std::min(written_, static_cast<std::size_t>(unsent));
}

Io PrinterChannel::Read(const std::function<bool(std::string_view)>& take) {
  // A terminal set to return at once reads nothing as 0 bytes: only a read that finds
  // nothing just after poll() said there was something is the end.
  bool readable = false;
  for (;;) {
    char buf[4096];
    ssize_t n = ::read(fd_.get(), buf, sizeof buf);
    if (n > 0) {
      if (take(std::string_view(buf, static_cast<std::size_t>(n)))) return Io::kDone;
      readable = false;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      error_ = errno;
      return Io::kFailed;
    }
    if (n == 0 && readable) return Io::kClosed;
    if (Io r = WaitFor(POLLIN); r != Io::kDone) return r;
    readable = true;
  }
}

DeliveryResult PrinterChannel::AwaitStatus(const std::string& sent) {
  StatusAnswers answers;
  Io r = Read([&answers](std::string_view bytes) {
    answers.Take(bytes);
    return answers.complete();
  });
  switch (r) {
    case Io::kDone:
      return answers.Judge(name_, sent);
    case Io::kTimedOut:
      return {Delivery::kFailed,
              name_ + " did not answer the status question in " + limits_.Bound()};
    case Io::kClosed:
      return {Delivery::kFailed, name_ + " closed without answering the status question"};
    default:
      return {Delivery::kFailed, Failure(r)};
  }
}

Io PrinterChannel::ReadUntilClosed() {
  return Read([](std::string_view) { return false; });
}

std::string PrinterChannel::WriteFailure(Io r, std::size_t total) const {
  if (r != Io::kTimedOut) return Failure(r);
  return name_ + " took " + std::to_string(Taken()) + " of " + std::to_string(total) +
         " bytes in " + limits_.Bound();
}

std::string PrinterChannel::Failure(Io r) const {
  switch (r) {
    case Io::kStopped:
      return "delivery to " + name_ + " stopped";
    case Io::kTimedOut:
      return name_ + " did not finish in " + limits_.Bound();
    case Io::kClosed:
      return name_ + " closed before the end";
    case Io::kFailed:
      if (error_ == ECONNRESET) return name_ + " reset the connection (" + Strerror(error_) + ")";
      if (error_ == EPIPE)
        return name_ + " closed before taking every byte (" + Strerror(error_) + ")";
      return name_ + ": " + Strerror(error_);
    case Io::kDone:
      break;
  }
  return name_ + ": done";
}

}  // namespace valico
