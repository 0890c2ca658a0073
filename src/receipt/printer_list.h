#pragma once

#include <string>
#include <vector>

#include "printing/print_system.h"

namespace valico {

// The installer's list of printers and ports: for each printer, in the platform's order,
// "Port    > " and its port, "Printer > " and its device name, and a line of 37 hyphens,
// each line ended by CR LF. No printers: an empty text.
std::string PrinterListText(const std::vector<PrinterInfo>& printers);

}  // namespace valico
