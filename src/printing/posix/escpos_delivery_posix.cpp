#include "printing/posix/escpos_delivery_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "platform/serial_device.h"
#include "platform/serial_port.h"
#include "platform/write_access.h"
#include "printing/device_fonts.h"
#include "printing/posix/printer_channel_posix.h"
#include "printing/posix/tcp_printer_posix.h"

namespace valico {
namespace {

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string Sent(std::string_view bytes, std::string_view where) {
  return std::to_string(bytes.size()) + " bytes to " + std::string(where);
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

// A character device (a USB printer's /dev/usb/lp0) may answer, and is asked when it opens
// for reading too; a regular file or a pipe cannot, and is only written.
DeliveryResult DeliverToDevice(const std::string& path, std::string_view bytes, bool ask_status,
                               const DeliveryLimits& limits) {
  SigpipeHeld held;
  // Never created: a printer that is switched off or unplugged must not leave a plain file
  // where its device should be.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {Delivery::kFailed, Errno("cannot open " + path)};
  bool ask = ask_status && S_ISCHR(st.st_mode);
  int fd = -1;
  std::string not_asked;
  if (ask) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      not_asked = std::string(" (not asked its status: it does not open for reading: ") +
                  std::strerror(errno) + ")";
    ask = fd >= 0;
  }
  if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {Delivery::kFailed, Errno("cannot open " + path)};
  PrinterChannel device(fd, path, limits);
  std::string all(bytes);
  if (ask) all += kStatusQuestions;
  if (Io r = device.Write(all); r != Io::kDone)
    return {Delivery::kFailed, device.WriteFailure(r, all.size())};
  if (!ask) return {Delivery::kHandedOver, Sent(bytes, path) + not_asked};
  DeliveryResult r = device.AwaitStatus(Sent(bytes, path));
  // A USB printer with no way back (usblp on a printer that is not bidirectional) opens for
  // reading but refuses every read: it took the document and cannot say more.
  if (r.status == Delivery::kFailed && device.error() == EINVAL)
    return {Delivery::kHandedOver,
            Sent(bytes, path) +
                " (not asked its status: it cannot be read: " + std::strerror(EINVAL) + ")"};
  return r;
}

// Reads the answers in slices, so that a stop ends the wait at once.
DeliveryResult AwaitSerialStatus(SerialLine& line, const std::string& name, const std::string& sent,
                                 const DeliveryLimits& limits) {
  using Clock = DeliveryLimits::Clock;
  StatusAnswers answers;
  while (!answers.complete()) {
    if (limits.stop.stop_requested())
      return {Delivery::kFailed, "delivery to " + name + " stopped"};
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(limits.deadline - Clock::now());
    if (left.count() <= 0)
      return {Delivery::kFailed, name + " did not answer the status question in " + limits.Bound()};
    std::string got, err;
    if (!line.Read(answers.missing(), std::min(left, std::chrono::milliseconds(100)), &got, &err))
      return {Delivery::kFailed, err};
    answers.Take(got);
  }
  return answers.Judge(name, sent);
}

DeliveryResult DeliverToSerial(int port, std::string_view settings_text, std::string_view target,
                               std::string_view bytes, bool ask_status, SerialPorts* ports,
                               const DeliveryLimits& limits) {
  SerialSettings settings;
  std::string err, name(target);
  if (!settings_text.empty() && !ParseSerialSettings(settings_text, &settings, &err))
    return {Delivery::kFailed, name + ": " + err};
  if (!ports) return {Delivery::kFailed, "no serial ports in this program"};
  std::string all(bytes);
  if (ask_status) all += kStatusQuestions;
  auto line = ports->Open(port, settings, 1024, all.size(), &err);
  if (!line || !line->Write(all, &err)) return {Delivery::kFailed, err};
  if (!ask_status) return {Delivery::kHandedOver, Sent(bytes, target)};
  return AwaitSerialStatus(*line, name, Sent(bytes, target), limits);
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

DeliveryResult DeliverEscPos(std::string_view target, std::string_view bytes, bool ask_status,
                             const std::string& home, SerialPorts* ports,
                             std::chrono::milliseconds bound, std::stop_token stop) {
  DeliveryLimits limits(bound, std::move(stop));
  if (limits.stop.stop_requested())
    return {Delivery::kFailed, "delivery to " + std::string(target) + " stopped"};
  int port = 0;
  std::string_view settings;
  if (SerialTarget(target, &port, &settings))
    return DeliverToSerial(port, settings, target, bytes, ask_status, ports, limits);
  if (target.substr(0, 6) == "tcp://")
    return DeliverTcp(target.substr(6), bytes, ask_status, limits);
  std::filesystem::path path(target);
  if (path.is_relative()) path = std::filesystem::path(home) / path;
  return DeliverToDevice(path.string(), bytes, ask_status, limits);
}

bool EscPosTargetReachable(std::string_view target, const std::string& home,
                           const std::map<int, std::string>& com_devices,
                           std::chrono::milliseconds bound, std::string* found) {
  int port = 0;
  std::string_view settings;
  if (SerialTarget(target, &port, &settings)) {
    std::string device = SerialDeviceOf(port, com_devices);
    if (!ProbeSerialDevice(device, found)) return false;
    *found = "COM" + std::to_string(port) + " (" + device + ") opens";
    return true;
  }
  if (target.substr(0, 6) == "tcp://") return TcpPrinterAccepts(target.substr(6), bound, found);
  std::filesystem::path path(target);
  if (path.is_relative()) path = std::filesystem::path(home) / path;
  std::string why;
  if (!CanWrite(path.string(), &why)) {
    *found = path.string() + ": " + why;
    return false;
  }
  *found = path.string() + " is there and may be written";
  return true;
}

}  // namespace valico
