#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace valico {

enum class Parity { kNone, kEven, kOdd, kMark, kSpace };
enum class StopBits { kOne, kOnePointFive, kTwo };

// Line settings of a serial port, parsed from the settings text "9600,N,8,1".
struct SerialSettings {
  int baud = 9600;
  Parity parity = Parity::kNone;
  int data_bits = 8;  // 5..8
  StopBits stop_bits = StopBits::kOne;
  bool operator==(const SerialSettings&) const = default;
};

// Parses "baud,parity,data,stop" (parity N, E, O, M or S; data bits 5-8; stop bits 1, 1.5
// or 2). False with *err naming the field that is wrong; *out is then unchanged.
bool ParseSerialSettings(std::string_view text, SerialSettings* out, std::string* err);

// An open serial line. Writes send the bytes unchanged and give up after a bounded time.
class SerialLine {
 public:
  virtual ~SerialLine() = default;
  virtual bool Write(std::string_view bytes, std::string* err) = 0;
  // Appends to *out what the far end sends, until `want` bytes have come or `wait` has passed:
  // fewer bytes, or none, in time are no failure. False with the reason when the port fails,
  // or when the line has no far end that answers (a virtual display's: the default).
  virtual bool Read(std::size_t want, std::chrono::milliseconds wait, std::string* out,
                    std::string* err) {
    (void)want, (void)wait, (void)out;
    if (err) *err = "this port gives no answers";
    return false;
  }
};

// Opens the machine's serial ports by number (port n is COMn).
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  virtual std::unique_ptr<SerialLine> Open(int port, const SerialSettings& settings,
                                           std::size_t input_buffer, std::size_t output_buffer,
                                           std::string* err) = 0;
};

class DiagLog;

// How long one write may wait for the port to take its bytes before it counts as failed.
inline constexpr std::chrono::milliseconds kSerialWriteBound{3000};

// The operating system's serial ports only (one backend per OS): port n is /dev/ttyS{n-1}
// or \\.\COMn unless `devices` names another device for it.
std::unique_ptr<SerialPorts> MakeNativeSerialPorts(const std::map<int, std::string>& devices,
                                                   DiagLog& log,
                                                   std::chrono::milliseconds write_bound);

}  // namespace valico
