#pragma once

#include <string>
#include <vector>

#include "printing/print_system.h"

namespace valico::testing {

// A printing system for unit tests: lists `installed` (or fails with `list_error`), keeps
// every document it is given, and refuses those for the printer named in `failing`; kept
// documents are recorded too.
class RecordingPrintSystem : public PrintSystem {
 public:
  bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) override {
    out->clear();
    if (!list_error.empty()) {
      *err = list_error;
      return false;
    }
    *out = installed;
    return true;
  }
  std::string DefaultPrinter() override { return default_printer; }
  bool Print(const Document& doc, std::string* err) override {
    if (!failing.empty() && failing == doc.printer) {
      *err = "connection refused";
      return false;
    }
    printed.push_back(doc);
    return true;
  }
  bool KeepAsPreview(const Document& doc, const std::string& folder,
                     std::vector<std::string>* files, std::string*) override {
    kept.push_back(doc);
    files->push_back(folder + "/" + std::to_string(kept.size()) + ".png");
    return true;
  }

  std::vector<PrinterInfo> installed;
  std::string default_printer;
  std::string failing;
  std::string list_error;
  std::vector<Document> printed, kept;
};

}  // namespace valico::testing
