#pragma once

#include <chrono>
#include <memory>
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

// The platform's printing system: the installed printers and the delivery of documents.
// Windows: the spooler's printers and GDI. Linux: the printers declared in _Stampanti.ini of
// the program folder, each with its output (preview files, ESC/POS bytes, a CUPS queue).
class PrintSystem {
 public:
  virtual ~PrintSystem() = default;

  // The installed printers in the platform's order. False, with the reason, when the list
  // cannot be had; *out is then empty.
  virtual bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) = 0;

  // The device name of the system's default printer; "" when there is none.
  virtual std::string DefaultPrinter() = 0;

  // Sends one document to its printer as one print job. Returns within a bounded time. False,
  // with the reason, when it could not be delivered (unknown printer, device missing,
  // connection refused, queue gone): the caller keeps it with KeepAsPreview.
  virtual bool Print(const Document& doc, std::string* err) = 0;

  // Writes a document as preview files into `native_folder` (created when missing), named by
  // a running number and the device name; *files receives the paths written.
  virtual bool KeepAsPreview(const Document& doc, const std::string& native_folder,
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
