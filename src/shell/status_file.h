#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/diag_log.h"
#include "printing/print_queue.h"

namespace valico {

// Valico.stato in the program folder: what the Valico that serves the folder last did with each
// device, and how each printer's queue stood, for `valico status` and the window "Stato
// stampe", which read it beside that program or after it ended. An INI file, read by the
// program's one INI reader; times are wall-clock milliseconds since 1970 (UTC).
inline constexpr const char* kStatusFileName = "Valico.stato";

// The devices of the polling cycle, in the order the report lists them.
enum class StatusDevice { kDisplay, kFiscal, kReceipt, kPrebill };
inline constexpr int kStatusDevices = 4;

struct DeviceDone {
  std::string what;  // "" until the device was handed a job
  std::int64_t when_ms = 0;
};

struct ServiceStatus {
  std::int64_t started_ms = 0;  // when the program that wrote it began serving the folder
  std::int64_t written_ms = 0;
  std::array<DeviceDone, kStatusDevices> devices;
  std::vector<PrinterQueueState> printers;
};

std::string EncodeStatusFile(const ServiceStatus& status);
// What `text` tells; keys that are missing or not numbers stay at their defaults.
ServiceStatus DecodeStatusFile(std::string_view text);
// The status file of the program folder `home` (native). False, with the reason, when it is
// missing or cannot be read.
bool ReadStatusFile(const std::string& home, ServiceStatus* status, std::string* err);

// Keeps the status file of the serving program. The devices' jobs are recorded as they are
// handed over; the print queue's states are looked at once a second from the tick. The file is
// written whole under a temporary name and renamed over the old one, at most once a second and
// only when something changed, so an idle program never writes it; Flush writes at once.
// What an earlier run last did is carried over until this run does something newer.
// Main thread only.
class StatusFileWriter {
 public:
  StatusFileWriter(const std::string& home, const PrintQueue& queue, const Clock& clock,
                   DiagLog& log);

  void Record(StatusDevice device, std::string what);
  // From every tick: costs a look at the clock unless a second has passed since the last look.
  void Tick();
  // Writes the file now when anything changed since it was last written.
  void Flush();

 private:
  void Write(std::vector<PrinterQueueState> printers);

  std::string path_;
  const PrintQueue& queue_;
  const Clock& clock_;
  DiagLog& log_;
  ServiceStatus status_;
  std::vector<PrinterQueueState> earlier_printers_;  // as an earlier run left them
  std::vector<PrinterQueueState> last_seen_;         // the queue's states last written
  std::chrono::steady_clock::time_point next_look_{};
  bool changed_ = true;  // the first look writes: the file then says who serves the folder
  bool failure_logged_ = false;
};

}  // namespace valico
