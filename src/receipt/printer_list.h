#pragma once

#include <string>

#include "printing/printers.h"

namespace valico {

// The list window (fStampa_Porte), opened from the menu "Strumenti": the list in a box of
// several lines, txListaStampanti, in Courier New, and a button that closes the window.
struct PrinterListWindowText {
  static constexpr const char* kTitle = "Elenco Porte Stampanti";
  static constexpr const char* kFont = "Courier New";
  static constexpr const char* kClose = "Chiudi";  // button cmdChiudi
};

// The installer's list of printers and ports, as the window "Elenco Porte Stampanti" shows it
// and `valico printers` prints it: for each installed printer, in the platform's order,
// "Port    > " and its port, "Printer > " and its device name, and a line of 37 hyphens, each
// line ended by CR LF. No printers: an empty text. False, with the reason, when the printers
// cannot be listed.
bool ListaStampanti(Printers& printers, std::string* text, std::string* err);

}  // namespace valico
