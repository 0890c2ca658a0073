#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "printing/print_system.h"

namespace valico::testing {

// A printing system for unit tests: lists `installed` (or fails with `list_error`), keeps
// every document it is given, and refuses those for the printer named in `failing`; kept
// documents are recorded too. Read `printed` and `kept` once the deliveries are over.
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
  PrinterQueueSettings QueueSettings(const std::string&) override { return {}; }
  DeliveryResult Deliver(const Document& doc, std::stop_token) override {
    std::lock_guard lock(mu);
    if (!failing.empty() && failing == doc.printer)
      return {Delivery::kFailed, "connection refused"};
    printed.push_back(doc);
    return {Delivery::kPrinted, "recorded"};
  }
  bool KeepAsPreview(const Document& doc, const std::string& base, std::vector<std::string>* files,
                     std::string*) override {
    std::lock_guard lock(mu);
    kept.push_back(doc);
    files->push_back(base + ".png");
    return true;
  }

  std::vector<PrinterInfo> installed;
  std::string default_printer;
  std::string failing;
  std::string list_error;
  std::vector<Document> printed, kept;
  std::mutex mu;
};

}  // namespace valico::testing
