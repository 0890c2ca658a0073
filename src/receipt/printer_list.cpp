#include "receipt/printer_list.h"

#include <vector>

namespace valico {

bool ListaStampanti(Printers& printers, std::string* text, std::string* err) {
  text->clear();
  std::vector<PrinterInfo> installed;
  if (!printers.List(&installed, err)) return false;
  for (const PrinterInfo& p : installed) {
    *text += "Port    > " + p.port + "\r\n";
    *text += "Printer > " + p.device + "\r\n";
    *text += std::string(37, '-') + "\r\n";
  }
  return true;
}

}  // namespace valico
