#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/unique_fd_posix.h"
#include "printing/posix/printer_status_posix.h"

namespace valico {

// The limits of one delivery: the deadline its bound sets from its start, and the stop.
struct DeliveryLimits {
  using Clock = std::chrono::steady_clock;
  DeliveryLimits(std::chrono::milliseconds b, std::stop_token s)
      : deadline(Clock::now() + b), bound(b), stop(std::move(s)) {}
  Clock::time_point deadline;
  std::chrono::milliseconds bound;
  std::stop_token stop;
  std::string Bound() const { return std::to_string(bound.count()) + " ms"; }
};

// How a step of a delivery ended.
enum class Io { kDone, kTimedOut, kStopped, kClosed, kFailed };

// One open output of an ESC/POS printer, a socket or a device file whose descriptor is
// non-blocking, written and read within the limits of one delivery: every wait looks at the
// stop at least every 100 ms. Closes the descriptor when it goes.
class PrinterChannel {
 public:
  PrinterChannel(int fd, std::string name, const DeliveryLimits& limits)
      : fd_(fd), name_(std::move(name)), limits_(limits) {}
  PrinterChannel(const PrinterChannel&) = delete;
  PrinterChannel& operator=(const PrinterChannel&) = delete;

  int fd() const { return fd_.get(); }
  const std::string& name() const { return name_; }
  int error() const { return error_; }  // errno of the last kFailed

  // Writes every byte: kDone, kTimedOut, kStopped or kFailed.
  Io Write(std::string_view bytes);
  // Bytes the printer took: those written, less those a socket or terminal still holds.
  std::size_t Taken() const;
  // Reads the answers to kStatusQuestions (written after the document) and judges them
  // (StatusAnswers::Judge); failed when none come within the limits. `sent` says what was
  // delivered ("812 bytes to /dev/usb/lp0").
  DeliveryResult AwaitStatus(const std::string& sent);
  // Reads and drops what comes until the far end closes (kClosed), or the deadline, the stop
  // or a failure.
  Io ReadUntilClosed();
  // Waits for `events` (as poll() takes them): kDone, kTimedOut, kStopped or kFailed.
  Io WaitFor(short events);

  // Why a step that ended with `r` failed: "NAME took 10 of 20 bytes in 1000 ms" for a write
  // out of time, "delivery to NAME stopped", "NAME reset the connection", or the system's
  // reason.
  std::string WriteFailure(Io r, std::size_t total) const;
  std::string Failure(Io r) const;

 private:
  Io Read(const std::function<bool(std::string_view)>& take);

  UniqueFd fd_;
  std::string name_;
  const DeliveryLimits& limits_;
  std::size_t written_ = 0;
  int error_ = 0;
};

}  // namespace valico
