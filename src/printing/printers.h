#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/diag_log.h"
#include "printing/document.h"
#include "printing/print_outlet.h"
#include "printing/print_system.h"

namespace valico {

// The printers as the system's routines use them: the installed printers, one program-wide
// current printer, and per printer its text state and open document. The first output after
// an end of document opens a new document, which starts with the text state of that moment;
// ending it hands it to the outlet (the print queue) as one print job. Between BeginBatch and
// SubmitBatch the documents ended are collected and handed over together, as one job.
// One per running Valico, touched by the tick thread only; `system` and `outlet` must
// outlive it.
class Printers {
 public:
  struct TextState {
    std::string font;  // "" until a routine names one: the printer's own
    double size = 0;   // points; 0 until a routine sets one
    bool bold = false;
    Rgb colour = kBlack;
    bool operator==(const TextState&) const = default;
  };

  Printers(PrintSystem& system, PrintOutlet& outlet, DiagLog& log)
      : system_(system), outlet_(outlet), log_(log) {}
  // Ends and hands over every document still open (Valico is exiting); the log says so.
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
  // False only when an ended document was refused by the outlet (not queued, not printed).
  bool Apply(const PrinterOp& op);
  bool Apply(const std::vector<PrinterOp>& ops);

  // From now on ended documents are collected instead of handed over, until SubmitBatch.
  void BeginBatch();
  // Hands the collected documents to the outlet as one job, with the job file they were
  // made of (see PrintOutlet::Submit). Documents of several printers go as one job each.
  SubmitResult SubmitBatch(const SourceFile* source = nullptr);

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
  bool Send(Document doc);

  PrintSystem& system_;
  PrintOutlet& outlet_;
  DiagLog& log_;
  std::optional<std::vector<Document>> batch_;
  std::optional<std::string> current_;
  std::map<std::string, PrinterState> printers_;
};

}  // namespace valico
