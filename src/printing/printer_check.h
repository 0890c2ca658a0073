#pragma once

#include <chrono>
#include <map>
#include <string>

namespace valico {

// What the installer's check of a printer's output needs to know of the machine.
struct PrinterCheckOptions {
  std::string home;                        // program folder (native): _Stampanti.ini, outputs
  std::map<int, std::string> com_devices;  // devices of the serial ports, as --com says
  std::chrono::milliseconds bound{2000};   // the longest a network printer may take to answer
};

// Whether the installed printer `device` can print now, asked without printing. Linux: the
// printer is declared in _Stampanti.ini and its output is reachable (a device file present and
// writable, a serial port that opens, a network printer's port that accepts a connection
// within the bound, a CUPS queue that exists and accepts jobs, a preview folder that may be
// written or created). Windows: the spooler opens the printer and reports it neither offline
// nor in error. *found says what was found, or why the printer cannot print. Per-OS.
bool CheckPrinterOutput(const PrinterCheckOptions& options, const std::string& device,
                        std::string* found);

}  // namespace valico
