#pragma once

#include <string>

namespace valico {

// How a receipt printer takes ESC/POS: modern roll printers select fonts with ESC M and sizes
// with GS !; impact and slip printers take one ESC ! byte for font, bold, height and width.
enum class EscPosDialect { kModern, kEscBang };

// What differs between receipt printers, declared beside each printer (with these defaults
// for a receipt roll). Previews use the paper's width; the ESC/POS output uses the rest.
struct PrinterProfile {
  int dpi = 180;         // dots per inch
  int width_dots = 512;  // printable width in dots (72 mm at 180 dpi)
  EscPosDialect dialect = EscPosDialect::kModern;
  int code_page = 1252;  // 1252: bytes sent unchanged; 858: transcoded
  std::string cut = std::string("\x1d\x56\x42\x00", 4);  // GS V 66 0: feed and partial cut
  std::string end_of_document;  // sent after each document ("\x0c" ejects a slip form)
  bool slip = false;            // one form per document, drawn one page per document
  // Characters per line of font A and of font B (multiplier 1); 0: as many of the font's
  // cells as the width holds (42 and 56 at 512 dots). Previews draw at these columns.
  int columns_a = 0;
  int columns_b = 0;

  bool operator==(const PrinterProfile&) const = default;
};

// A slip printer of the TM-U295 class: ESC ! only, each document one form ejected with FF.
inline PrinterProfile SlipPrinterProfile() {
  PrinterProfile p;
  p.dpi = 160;
  p.width_dots = 400;
  p.dialect = EscPosDialect::kEscBang;
  p.cut.clear();
  p.end_of_document = "\x0c";
  p.slip = true;
  p.columns_b = 40;  // its small font
  return p;
}

}  // namespace valico
