#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/diag_log.h"
#include "printing/document.h"
#include "printing/print_system.h"

namespace valico {

// The printers as the system's routines use them: the installed printers, one program-wide
// current printer, and per printer its text state and open document. The first output after
// an end of document opens a new document, which starts with the text state of that moment;
// ending it sends it as one print job. A document that cannot be delivered is kept as
// preview files in the folder of undelivered documents, and the log says why.
// One per running Valico, touched by the tick thread only; `system` must outlive it.
class Printers {
 public:
  struct TextState {
    std::string font;  // "" until a routine names one: the printer's own
    double size = 0;   // points; 0 until a routine sets one
    bool bold = false;
    Rgb colour = kBlack;
    bool operator==(const TextState&) const = default;
  };

  // `unprinted_folder`: native folder for documents that could not be delivered.
  Printers(PrintSystem& system, DiagLog& log, std::string unprinted_folder);
  // Ends and sends every document still open (Valico is exiting); the log says so.
  ~Printers();
  Printers(const Printers&) = delete;
  Printers& operator=(const Printers&) = delete;

  // The installed printers in the platform's order. False with the reason when the list
  // cannot be had.
  bool List(std::vector<PrinterInfo>* out, std::string* err);

  // The device name of the current printer. Until a routine makes one current: the
  // system's default printer, else the first installed, else "" (its documents are kept).
  const std::string& Current();
  // `device` becomes current and stays current until another is made current. The printer
  // left keeps its text state and its open document.
  void MakeCurrent(const std::string& device);
  // Makes the first installed printer whose device name is exactly `device` current, as the
  // routines that print on a printer named in the settings choose it. False, with the reason,
  // when none is installed under that name or the list cannot be had: the current printer
  // then stays as it was.
  bool ChooseInstalled(const std::string& device, std::string* err);

  // Applies one operation to the current printer. A print ends its line, and each CR LF
  // inside its text ends a line too: the document receives one print per line, with other
  // control bytes printed as blanks. Font names longer than a face name can be (31
  // characters) and sizes out of range are refused and logged; the state keeps its value.
  // False only when an end of document could not be delivered.
  bool Apply(const PrinterOp& op);
  bool Apply(const std::vector<PrinterOp>& ops);

  // The text state of the current printer, and whether it has an open document.
  const TextState& State();
  bool HasOpenDocument();

 private:
  struct PrinterState {
    TextState text;
    std::optional<double> x, y;  // a position set while no document was open
    std::optional<Document> open;
  };

  PrinterState& Cur();
  void Record(PrinterState& s, const PrinterOp& op);
  void Open(PrinterState& s);
  void PrintLines(PrinterState& s, const std::string& text);
  bool Send(const Document& doc);

  PrintSystem& system_;
  DiagLog& log_;
  std::string unprinted_folder_;
  std::optional<std::string> current_;
  std::map<std::string, PrinterState> printers_;
};

}  // namespace valico
