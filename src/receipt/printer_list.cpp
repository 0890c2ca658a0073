#include "receipt/printer_list.h"

namespace valico {

std::string PrinterListText(const std::vector<PrinterInfo>& printers) {
  std::string text;
  for (const PrinterInfo& p : printers) {
    text += "Port    > " + p.port + "\r\n";
    text += "Printer > " + p.device + "\r\n";
    text += std::string(37, '-') + "\r\n";
  }
  return text;
}

}  // namespace valico
