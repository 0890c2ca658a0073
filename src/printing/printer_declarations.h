#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/print_system.h"
#include "printing/printer_profile.h"

namespace valico {

// Where a declared printer's documents go.
enum class PrinterOutput {
  kNone,     // Uscita missing or unknown: listed, prints nothing
  kPreview,  // anteprima:FOLDER  PNG + PDF + trace per document
  kEscPos,   // escpos:TARGET     ESC/POS bytes to a device file, COMn[,settings], tcp://host:port
  kCups,     // cups:QUEUE[@HOST[:PORT]]  a PDF to a CUPS queue
};

// One printer of _Stampanti.ini: its section, in the file's order.
struct PrinterDeclaration {
  PrinterInfo info;         // section name, Porta
  bool is_default = false;  // Predefinita=-1
  PrinterOutput output = PrinterOutput::kNone;
  std::string target;      // Uscita after its prefix
  std::string uscita;      // Uscita as written
  PrinterProfile profile;  // Tipo, then the profile keys over its defaults
  // Attesa: minutes the printer may stay unreachable before its queued documents are set
  // aside as not printed; empty: the program's wait.
  std::optional<int> wait_minutes;
  bool ask_status = true;  // ChiediStato: ask the printer its status after each document
};

// The printers declared in _Stampanti.ini (its bytes; a UTF-16 file is read as the settings
// store reads it), in section order, in one pass over the file. The first section of a name
// counts (names compare without regard to case), and of a key its first entry. Keys: Porta,
// Uscita, Predefinita, Tipo (Rotolo or Modulo), Dpi, Larghezza, Comandi (GS! or ESC!),
// Codifica (1252 or 858), Taglio, FineDocumento (bytes in hex), ColonneA, ColonneB, Attesa
// (1 to 1440), ChiediStato (-1 or 0). *problems receives one line for each thing skipped or
// left at its default: a section without a name or declared twice, an unknown key, a line
// without "=", a value out of range, a missing or unknown Uscita, a second default printer.
std::vector<PrinterDeclaration> ParsePrinterDeclarations(std::string_view content,
                                                         std::vector<std::string>* problems);

// Bytes written in hex, two digits each, blanks between them allowed ("1D 56 42 00").
bool ParseHexBytes(std::string_view text, std::string* out);

}  // namespace valico
