#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "printing/document.h"

namespace valico {

// One installed printer as the platform lists it.
struct PrinterInfo {
  std::string device;  // device name, exactly as the platform gives it
  std::string port;    // port name as the platform reports it ("COM3:", "Ne01:")
  bool operator==(const PrinterInfo&) const = default;
};

// How one delivery of a document ended.
enum class Delivery {
  // The output confirmed it: CUPS accepted the job, a network printer took every byte and
  // closed or answered in order, the printer's status answer showed it online with paper,
  // the spooler took the job (it keeps it through a restart), or the preview files were
  // written.
  kPrinted,
  // Every byte went to an output that cannot answer (a device opened for writing only, a
  // printer whose status question is turned off): given to it, not known to be printed.
  kHandedOver,
  // Not delivered; it may be tried again.
  kFailed,
};

struct DeliveryResult {
  Delivery status = Delivery::kFailed;
  std::string detail;  // what confirmed it ("CUPS job 12"), or why it failed
};

// What the print queue needs to know of a printer beyond its documents.
struct PrinterQueueSettings {
  // How long the printer may stay unreachable before its documents are set aside as not
  // printed; empty for the program-wide default.
  std::optional<std::chrono::minutes> wait;
};

// The platform's printing system: the installed printers and the delivery of documents.
// Windows: the spooler's printers and GDI. Linux: the printers declared in _Stampanti.ini of
// the program folder, each with its output (preview files, ESC/POS bytes, a CUPS queue).
// Every call may come from any thread; the documents of one printer are delivered by one
// thread at a time.
class PrintSystem {
 public:
  virtual ~PrintSystem() = default;

  // The installed printers in the platform's order. False, with the reason, when the list
  // cannot be had; *out is then empty.
  virtual bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) = 0;

  // The device name of the system's default printer; "" when there is none.
  virtual std::string DefaultPrinter() = 0;

  virtual PrinterQueueSettings QueueSettings(const std::string& device) = 0;

  // Delivers one document to its printer as one print job, on the calling thread, within the
  // bound of the output (PrintSystemOptions::write_bound; a serial port's write bound), and
  // at once when `stop` is requested (a cut delivery fails).
  virtual DeliveryResult Deliver(const Document& doc, std::stop_token stop) = 0;

  // Draws what the paper would show as files beside `base` (a path without extension): a
  // trace "<base>.txt" and a picture (PNG and PDF on Linux, EMF on Windows), in the paper of
  // the document's printer. *files receives the paths written.
  virtual bool KeepAsPreview(const Document& doc, const std::string& base,
                             std::vector<std::string>* files, std::string* err) = 0;
};

class DiagLog;
class SerialPorts;

// What a printing system needs from the program that builds it.
struct PrintSystemOptions {
  std::string home;                              // program folder (native): _Stampanti.ini, outputs
  DiagLog* log = nullptr;                        // why a printer prints nothing, once per printer
  SerialPorts* serial_ports = nullptr;           // ESC/POS printers on a COM port
  std::chrono::milliseconds write_bound{10000};  // the longest one delivery may take
  // Tests only, Windows: documents go to files in this folder instead of the printers' ports.
  std::string print_to_folder;
};

// The machine's printing system (one backend per OS).
std::unique_ptr<PrintSystem> MakePrintSystem(const PrintSystemOptions& options);

}  // namespace valico
